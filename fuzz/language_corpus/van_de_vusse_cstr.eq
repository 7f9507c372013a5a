# The steady state of an isothermal CSTR with the van de Vusse reactions
# A -> B -> C and 2 A -> D (a textbook control case): k1 = 50 1/h,
# k2 = 100 1/h, k3 = 10 L/(mol h), feed 10 mol/L of A, dilution 20 1/h.
const k1 = 50
const k2 = 100
const k3 = 10
const CA_feed = 10
const D = 20
var CA = 1 in [0, ]
var CB = 1 in [0, ]
var CC = 1 in [0, ]
var CD = 1 in [0, ]
eq A: D*(CA_feed - CA) - k1*CA - k3*CA^2 = 0
eq B: -D*CB + k1*CA - k2*CB = 0
eq C: -D*CC + k2*CB = 0
eq D_balance: -D*CD + k3*CA^2/2 = 0
