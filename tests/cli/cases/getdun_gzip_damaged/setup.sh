gzip -c "$DATA"/amber/getdun.crd > bad.crd.gz && printf "\377" | dd of=bad.crd.gz bs=1 seek=40 conv=notrunc 2>/dev/null
