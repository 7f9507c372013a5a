# Powell's singular function (More, Garbow and Hillstrom 1981, problem 13).
# Standard start (3, -1, 0, 1); the root is the origin, where the Jacobian is
# singular, so Newton's method converges only linearly.
var x1 = 3
var x2 = -1
var x3 = 0
var x4 = 1
eq f1: x1 + 10*x2 = 0
eq f2: sqrt(5)*(x3 - x4) = 0
eq f3: (x2 - 2*x3)^2 = 0
eq f4: sqrt(10)*(x1 - x4)^2 = 0
