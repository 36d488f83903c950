cp "$DATA"/amber/getdun.crd .
printf '# one atom is no measurement\n7\n' > one.txt
