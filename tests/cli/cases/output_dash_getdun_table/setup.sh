cp "$DATA"/amber/getdun.crd "$DATA"/amber/tiny.parm7 "$DATA"/amber/getdun_measure.txt .
