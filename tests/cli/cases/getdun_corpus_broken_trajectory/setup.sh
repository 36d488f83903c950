ln -s "$CORPUS"/top/tz2.parm7 "$CORPUS"/crd/broken.tz2.crd .
