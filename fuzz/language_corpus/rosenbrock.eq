# Rosenbrock's function as a system (More, Garbow and Hillstrom 1981, problem 1).
# Standard start (-1.2, 1); the one root is (1, 1).
var x1 = -1.2
var x2 = 1
eq f1: 10*(x2 - x1^2) = 0
eq f2: 1 - x1 = 0
