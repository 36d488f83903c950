# A title of ten million characters and no residue line after it: the
# message quotes its first 200.
{ printf '    0    0    2\n\n'; head -c 10000000 /dev/zero | tr '\0' 'T'; printf '\n\nnot a residue\n\n'; } > long.prep
