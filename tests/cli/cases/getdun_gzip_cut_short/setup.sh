gzip -c "$DATA"/amber/getdun.crd | head -c 60 > cut.crd.gz
