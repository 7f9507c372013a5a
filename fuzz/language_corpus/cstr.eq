# A continuous stirred-tank reactor with a cooling jacket, A -> B, first
# order. These conditions have three steady states; the start is near the
# upper (ignited) one.

const volume = 0.1            # m3
const flow = 100e-3/60        # m3/s (100 L/min)
const CA_feed = 1000          # mol/m3
const T_feed = 350            # K
const k0 = 7.2e10/60          # 1/s
const E_over_R = 8750         # K
const heat_of_reaction = -5e4 # J/mol
const density = 1000          # kg/m3
const heat_capacity = 239     # J/(kg K)
const UA = 5e4/60             # W/K
const T_coolant = 300         # K

var CA = 200 in [0, CA_feed] "concentration of A / (mol/m3)"
var CB = 800 in [0, CA_feed] "concentration of B / (mol/m3)"
var T = 370 in [250, 600] "reactor temperature / K"
var k = 0.05 in [0, ] "rate constant / (1/s)"
var r = 10 in [0, ] "reaction rate / (mol/(m3 s))"
var Q = 5e4 "heat removed by the jacket / W"

eq Arrhenius: k = k0*exp(-E_over_R/T)
eq rate: r = k*CA
eq A_balance: flow*(CA_feed - CA) = volume*r
eq B_balance: volume*r = flow*CB
eq energy_balance: flow*density*heat_capacity*(T_feed - T) - heat_of_reaction*volume*r = Q
eq jacket: Q = UA*(T - T_coolant)
