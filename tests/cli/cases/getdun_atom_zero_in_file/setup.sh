cp "$DATA"/amber/getdun.crd .
printf '1 2\n0 1\n' > bad.txt
