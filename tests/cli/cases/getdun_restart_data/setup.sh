cp "$DATA"/amber/tiny_vel.rst .
