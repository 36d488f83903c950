gzip -c "$DATA"/amber/getdun.crd > getdun.crd.gz
