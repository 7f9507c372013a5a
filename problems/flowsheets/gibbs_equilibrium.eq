# The equilibrium of methane burnt with its stoichiometric air at 2500 K and
# 1 bar, by element potentials: ten ideal-gas species of C, H, O and N, each
# present as n_i = N exp(-g_i + sum over elements of a_ie pi_e), where g_i is
# the species' Gibbs energy of formation over RT (rounded, of the order of the
# tables at this temperature) and pi_e the element potentials; the element
# balances and the total close the system. Amounts in mol per mol of methane.

const RT = 8.314462618*2500             # J/mol
const g_CO2 = -396200/RT
const g_CO = -327400/RT
const g_H2O = -98900/RT
const g_OH = 1000/RT
const g_H = 93000/RT
const g_O = 110000/RT
const g_NO = 63000/RT
const b_C = 1
const b_H = 4
const b_O = 4
const b_N = 15.04

var pi_C = 0 "element potential of carbon"
var pi_H = 0 "element potential of hydrogen"
var pi_O = 0 "element potential of oxygen"
var pi_N = 0 "element potential of nitrogen"
var N = 10 in [0, ] "total amount / mol"
var n_CO2 = 1 in [0, ] "carbon dioxide / mol"
var n_CO = 0.1 in [0, ] "carbon monoxide / mol"
var n_H2O = 2 in [0, ] "water / mol"
var n_H2 = 0.1 in [0, ] "hydrogen / mol"
var n_O2 = 0.1 in [0, ] "oxygen / mol"
var n_N2 = 7.5 in [0, ] "nitrogen / mol"
var n_OH = 0.01 in [0, ] "hydroxyl / mol"
var n_H = 0.01 in [0, ] "atomic hydrogen / mol"
var n_O = 0.01 in [0, ] "atomic oxygen / mol"
var n_NO = 0.01 in [0, ] "nitric oxide / mol"

eq CO2: n_CO2 = N*exp(-g_CO2 + pi_C + 2*pi_O)
eq CO: n_CO = N*exp(-g_CO + pi_C + pi_O)
eq H2O: n_H2O = N*exp(-g_H2O + 2*pi_H + pi_O)
eq H2: n_H2 = N*exp(2*pi_H)
eq O2: n_O2 = N*exp(2*pi_O)
eq N2: n_N2 = N*exp(2*pi_N)
eq OH: n_OH = N*exp(-g_OH + pi_H + pi_O)
eq H: n_H = N*exp(-g_H + pi_H)
eq O: n_O = N*exp(-g_O + pi_O)
eq NO: n_NO = N*exp(-g_NO + pi_N + pi_O)

eq carbon: n_CO2 + n_CO = b_C
eq hydrogen: 2*n_H2O + 2*n_H2 + n_OH + n_H = b_H
eq oxygen: 2*n_CO2 + n_CO + n_H2O + 2*n_O2 + n_OH + n_O + n_NO = b_O
eq nitrogen: 2*n_N2 + n_NO = b_N
eq total: N = n_CO2 + n_CO + n_H2O + n_H2 + n_O2 + n_N2 + n_OH + n_H + n_O + n_NO
