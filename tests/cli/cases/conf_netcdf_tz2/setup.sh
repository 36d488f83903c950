ln -s "$CORPUS"/top/tz2.parm7 "$CORPUS"/nc/tz2.nc .
