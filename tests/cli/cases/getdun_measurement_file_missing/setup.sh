cp "$DATA"/amber/getdun.crd .
