# Powell's badly scaled function (More, Garbow and Hillstrom 1981, problem 3).
# Standard start (0, 1); root (1.098159e-5, 9.106146).
var x1 = 0
var x2 = 1
eq f1: 10000*x1*x2 - 1 = 0
eq f2: exp(-x1) + exp(-x2) - 1.0001 = 0
