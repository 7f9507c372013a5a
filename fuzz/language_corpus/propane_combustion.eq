# Chemical equilibrium of the combustion of propane in air (Meintjes and
# Morgan 1990; Hiebert's and More's collections), the five-unknown form, at
# R = 10 and P = 40 atm. The unknowns are scaled mole numbers, so they are
# bounded below by 0 as the problem is published: the root with all of them
# positive is the physical one, and the system has others (one with x[3] < 0
# lies near the standard start). Start: 1 everywhere (no start is agreed upon
# in the literature for this form).
const R = 10
const p = 40
const R5 = 0.193
const R6 = 0.002597/sqrt(p)
const R7 = 0.003448/sqrt(p)
const R8 = 0.00001799/p
const R9 = 0.0002155/sqrt(p)
const R10 = 0.00003846/p
var x[i] = 1 in [0, ] for i in 1..5
eq f1: x[1]*x[2] + x[1] - 3*x[5] = 0
eq f2: 2*x[1]*x[2] + x[1] + x[2]*x[3]^2 + R8*x[2] - R*x[5] + 2*R10*x[2]^2
       + R7*x[2]*x[3] + R9*x[2]*x[4] = 0
eq f3: 2*x[2]*x[3]^2 + 2*R5*x[3]^2 - 8*x[5] + R6*x[3] + R7*x[2]*x[3] = 0
eq f4: R9*x[2]*x[4] + 2*x[4]^2 - 4*R*x[5] = 0
eq f5: x[1]*(x[2] + 1) + R10*x[2]^2 + x[2]*x[3]^2 + R8*x[2] + R5*x[3]^2 + x[4]^2 - 1
       + R6*x[3] + R7*x[2]*x[3] + R9*x[2]*x[4] = 0
