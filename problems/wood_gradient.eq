# Wood's function (More, Garbow and Hillstrom 1981, problem 14) is a sum of
# six squares in four unknowns; its square form is the gradient set to zero.
# Standard start (-3, -1, -3, -1); the minimiser (1, 1, 1, 1) is the root
# sought (the gradient has other roots, saddle points).
var x1 = -3
var x2 = -1
var x3 = -3
var x4 = -1
eq g1: -400*x1*(x2 - x1^2) - 2*(1 - x1) = 0
eq g2: 200*(x2 - x1^2) + 20.2*(x2 - 1) + 19.8*(x4 - 1) = 0
eq g3: -360*x3*(x4 - x3^2) - 2*(1 - x3) = 0
eq g4: 180*(x4 - x3^2) + 20.2*(x4 - 1) + 19.8*(x2 - 1) = 0
