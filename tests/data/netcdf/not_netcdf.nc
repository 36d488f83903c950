tiny trajectory
   1.000   2.000
