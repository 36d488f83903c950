#!/usr/bin/python3
"""Writes these test logs of this folder, in the layout Gaussian 09 and 16
print (orientation blocks, "SCF Done" lines, "Point Number:  N  Path
Number:  P" after each converged IRC point, normal-mode tables):

  hcn_irc_both_g16.log   the HCN -> HNC path in both directions: the
                         transition state (point 0 of path 1), three points
                         of the forward path, the transition state printed
                         again, three points of the reverse path (path 2)
  hcn_opt_irc_g16.log    an Opt=TS job (two steps, "Optimization completed")
                         and, after --Link1--, a forward IRC of three points
  frh_path_g09.log       three geometries of francium hydride (atomic
                         number 87) with their energies
  ghost_path_g09.log     three geometries of water beside a ghost atom
                         (Bq, atomic number 0)
  hcn_ts_freq_g16.log    the frequency job of the HCN -> HNC transition
                         state: one imaginary mode, -1131.21 cm-1

The paths are made up, not computed: the hydrogen swings around the C-N
bond, which shortens and lengthens a little, the centre of mass staying put.

Usage: make_logs.py (writes into the folder of this script).
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
DASHES = " " + "-" * 69 + "\n"
MASS = {1: 1.00794, 6: 12.0107, 7: 14.0067, 8: 15.9994, 87: 223.0, 0: 0.0}


def orientation(atoms):
    text = "                          Input orientation:                          \n" + DASHES
    text += " Center     Atomic      Atomic             Coordinates (Angstroms)\n"
    text += " Number     Number       Type             X           Y           Z\n" + DASHES
    for i, (z, (x, y, w)) in enumerate(atoms):
        text += "%7d%11d%12d%16.6f%12.6f%12.6f\n" % (i + 1, z, 0, x, y, w)
    return text + DASHES


def scf(energy, method="RB3LYP"):
    return " SCF Done:  E(%s) =  %.10f     A.U. after   9 cycles\n" % (method, energy)


def hcn(angle):
    """H swinging around the C-N bond: at `angle` degrees from the C side
    (180 is next to C, 0 next to N); heavy atoms and all, centred on the
    centre of mass."""
    t = math.radians(angle)
    cn = 1.17 + 0.03 * math.sin(t)
    atoms = [(6, (0.0, 0.0, 0.0)), (7, (cn, 0.0, 0.0)),
             (1, (cn / 2 + 1.05 * math.cos(t), 1.05 * math.sin(t) * 0.8, 0.0))]
    total = sum(MASS[z] for z, _ in atoms)
    centre = [sum(MASS[z] * p[k] for z, p in atoms) / total for k in range(3)]
    return [(z, tuple(p[k] - centre[k] for k in range(3))) for z, p in atoms]


def energy_at(angle):
    return -93.40 - 0.045 * (1 - math.sin(math.radians(angle)))


def irc_point(angle, point, path):
    return (" IRC-IRC-IRC-IRC-IRC-IRC-IRC-IRC-IRC-IRC-IRC-IRC-IRC-IRC-IRC-IRC-IRC-IRC\n" +
            orientation(hcn(angle)) + scf(energy_at(angle)) +
            " Point Number:%4d          Path Number:%4d\n" % (point, path))


def path(angles, number):
    """The transition state (point 0 of path 1) first on the forward path,
    then the points at `angles`."""
    text = irc_point(90.0, 0, 1) if number == 1 else ""
    for k, angle in enumerate(angles, 1):
        text += irc_point(angle, k, number)
    return text


END_OF_PATHS = " Reaction path calculation complete.\n Normal termination of Gaussian 16.\n"


def header(version, route, title, charge=0, multiplicity=1):
    return (" Entering Gaussian System, Link 0=g%s\n" % version +
            " " + "-" * 34 + "\n " + route + "\n " + "-" * 34 + "\n" +
            " " + title + "\n Symbolic Z-matrix:\n" +
            " Charge = %2d Multiplicity = %d\n" % (charge, multiplicity))


def both_directions():
    text = " Written by the tarvex developers for the tests (make_logs.py).\n"
    text += header("16", "#P B3LYP/6-31G(d) IRC=(CalcFC,MaxPoints=3) NoSymm", "HCN to HNC")
    text += " C 0. 0. 0.\n N 1.2 0. 0.\n H 0.6 0.84 0.\n\n"
    text += path((75.0, 60.0, 45.0), 1)
    text += " Calculation of FORWARD path complete.\n Beginning calculation of the REVERSE path.\n"
    text += orientation(hcn(90.0)) + scf(energy_at(90.0))
    return text + path((105.0, 120.0, 135.0), 2) + END_OF_PATHS


def opt_then_irc():
    text = " Written by the tarvex developers for the tests (make_logs.py).\n"
    text += header("16", "#P B3LYP/6-31G(d) Opt=(TS,CalcFC,NoEigen) NoSymm", "HCN transition state")
    text += " C 0. 0. 0.\n N 1.2 0. 0.\n H 0.6 0.9 0.\n\n"
    for angle in (95.0, 90.0):
        text += orientation(hcn(angle)) + scf(energy_at(angle))
    text += " Optimization completed.\n    -- Stationary point found.\n"
    text += orientation(hcn(90.0))
    text += " Normal termination of Gaussian 16.\n"
    text += header("16", "#P B3LYP/6-31G(d) IRC=(Forward,RCFC,MaxPoints=3) Geom=Check NoSymm",
                   "HCN to HNC, forward")
    text += " Redundant internal coordinates taken from checkpoint file:\n"
    return text + path((75.0, 60.0, 45.0), 1) + END_OF_PATHS


def francium_hydride():
    text = " Written by the tarvex developers for the tests (make_logs.py).\n"
    text += header("09", "#P HF/Def2SVP Opt NoSymm", "francium hydride")
    text += " Fr 0. 0. 0.\n H 0. 0. 2.5\n\n"
    for k, length in enumerate((2.5, 2.45, 2.43)):
        text += orientation([(87, (0.0, 0.0, 0.0)), (1, (0.0, 0.0, length))])
        text += scf(-24.75 - 0.01 * k, "RHF")
    return text + " Optimization completed.\n    -- Stationary point found.\n"


def water_beside_a_ghost():
    text = " Written by the tarvex developers for the tests (make_logs.py).\n"
    text += header("09", "#P MP2/aug-cc-pVDZ Opt NoSymm", "water beside the basis of a ghost oxygen")
    text += " O 0. 0. 0.119\n H 0. 0.763 -0.477\n H 0. -0.763 -0.477\n Bq 0. 0. 3.0\n\n"
    for k, y in enumerate((0.763, 0.758, 0.755)):
        text += orientation([(8, (0.0, 0.0, 0.119)), (1, (0.0, y, -0.477)), (1, (0.0, -y, -0.477)),
                             (0, (0.0, 0.0, 3.0))])
        text += scf(-76.30 - 0.002 * k, "RMP2")
    return text


def transition_state_frequencies():
    text = " Written by the tarvex developers for the tests (make_logs.py).\n"
    text += header("16", "#P B3LYP/6-31G(d) Freq NoSymm", "HCN to HNC transition state")
    text += " C 0. 0. 0.\n N 1.2 0. 0.\n H 0.6 0.84 0.\n\n"
    text += orientation(hcn(90.0)) + scf(energy_at(90.0))
    text += ("                      1                      2                      3\n"
             "                      A                      A                      A\n"
             " Frequencies --  -1131.2051              1204.5713              2102.3342\n"
             " Red. masses --      1.1208                 1.0765                12.8420\n"
             "  Atom  AN      X      Y      Z        X      Y      Z        X      Y      Z\n"
             "     1   6    -0.07   0.01   0.00    -0.02   0.06   0.00     0.71   0.00   0.00\n"
             "     2   7     0.01  -0.03   0.00     0.03  -0.04   0.00    -0.62   0.00   0.00\n"
             "     3   1     0.98   0.16   0.00    -0.15  -0.24   0.00    -0.28   0.06   0.00\n \n")
    return text + " Normal termination of Gaussian 16.\n"


for name, make in (("hcn_irc_both_g16.log", both_directions), ("hcn_opt_irc_g16.log", opt_then_irc),
                   ("frh_path_g09.log", francium_hydride), ("ghost_path_g09.log", water_beside_a_ghost),
                   ("hcn_ts_freq_g16.log", transition_state_frequencies)):
    with open(os.path.join(HERE, name), "w") as out:
        out.write(make())
