# An adiabatic continuous stirred-tank reactor, A -> B, first order, at
# steady state: conversion and temperature against the residence time. The
# heat of reaction raises the temperature in proportion to the conversion,
# and the rate grows with the temperature, so between the extinction and the
# ignition residence times there are three steady states: the S-curve.
# Closed form: tau = X / ((1 - X) k(T0 + dT_ad X)), with turning points
# where 1 / (X (1 - X)) = E_R dT_ad / T^2.

const T_feed = 350            # K
const dT_ad = 150             # adiabatic temperature rise at full conversion, K
const E_R = 9000              # activation energy over the gas constant, K
const k0 = 1e9                # pre-exponential factor, 1/s

var tau = 1 in [0, ] "residence time / s"
var X = 0 in [0, 1] "conversion of A"
var T = 350 in [200, 1000] "temperature / K"
var k = 0 in [0, ] "rate constant / (1/s)"

eq rate: k = k0*exp(-E_R/T)
eq A_balance: X = tau*k*(1 - X)
eq energy: T = T_feed + dT_ad*X
