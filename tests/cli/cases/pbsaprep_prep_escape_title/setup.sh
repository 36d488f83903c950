# A title holding terminal escape codes (set the window title, clear the
# screen, ring the bell) and a carriage return, and no residue line after it.
printf '    0    0    2\n\n\033]0;owned\007\033[2J\033[H title\rover\n\nnot a residue\n\n' > title.prep
