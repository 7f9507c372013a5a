# Freudenstein and Roth's function (More, Garbow and Hillstrom 1981, problem
# 2). Standard start (0.5, -2); root (5, 4). The sum of squares also has a
# local minimum near (11.41, -0.8968) that is no root.
var x1 = 0.5
var x2 = -2
eq f1: -13 + x1 + ((5 - x2)*x2 - 2)*x2 = 0
eq f2: -29 + x1 + ((x2 + 1)*x2 - 14)*x2 = 0
