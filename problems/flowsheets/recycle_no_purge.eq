# A reactor-separator recycle: A reacts to B in a stirred tank; the separator
# sends all of B to product and returns A, with the inert I that comes in
# with the feed, to the reactor. The mistake: no purge (its share 0), so the
# inert has no way out and no steady state exists. Flows in mol/s.

const FA0 = 10.0                        # feed of A
const FI0 = 0.2                         # inert in the feed
const kV = 20.0                         # rate constant times volume times concentration, mol/s
const purge = 0                         # no purge: the mistake

var M_A = 20 in [0, ] "A into the reactor / (mol/s)"
var M_I = 1 in [0, ] "inert into the reactor / (mol/s)"
var R_A = 10 in [0, ] "A leaving the reactor / (mol/s)"
var R_B = 10 in [0, ] "B leaving the reactor / (mol/s)"
var R_I = 1 in [0, ] "inert leaving the reactor / (mol/s)"
var r = 10 in [0, ] "reaction rate / (mol/s)"
var S_A = 10 in [0, ] "A recycled / (mol/s)"
var S_I = 1 in [0, ] "inert recycled / (mol/s)"
var W_A = 0.5 in [0, ] "A purged / (mol/s)"
var W_I = 0.05 in [0, ] "inert purged / (mol/s)"

eq mix_A: M_A = FA0 + S_A
eq mix_I: M_I = FI0 + S_I
eq rate: r = kV*R_A/(R_A + R_B + R_I)
eq reactor_A: R_A = M_A - r
eq reactor_B: R_B = r
eq reactor_I: R_I = M_I
eq recycle_A: S_A = (1 - purge)*R_A
eq recycle_I: S_I = (1 - purge)*R_I
eq purge_A: W_A = purge*R_A
eq purge_I: W_I = purge*R_I
