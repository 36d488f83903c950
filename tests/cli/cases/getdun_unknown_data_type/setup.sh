cp "$DATA"/amber/tiny.parm7 . && cp "$DATA"/amber/getdun.crd traj.xyz
