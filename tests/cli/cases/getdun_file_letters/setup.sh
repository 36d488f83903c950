cp "$DATA"/amber/getdun.crd .
printf 'C1 C2\n' > letters.txt
