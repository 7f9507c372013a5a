# The network with its reservoir's pressure left free and the supply given
# instead, started at rest: at zero flow the pipes' derivatives by their flows
# vanish, a singular start behind which the dependence hides.
#
# A looped water-distribution network: a reservoir (node 0) feeds five
# junctions through seven pipes that form two loops. Pressures in Pa, flows in
# m3/s; each pipe loses r*q*|q| of pressure.

const demand[1] = 0.010         # m3/s
const demand[2] = 0.020
const demand[3] = 0.015
const demand[4] = 0.010
const demand[5] = 0.005
const p_reservoir = 3e5         # Pa
const r = 2e6                   # Pa/(m3/s)^2

var p[n] = 2.9e5 in [0, ] "pressure / Pa" for n in 0..5
var q_s = 0 "reservoir to 1 / (m3/s)"
var q_12 = 0 "1 to 2 / (m3/s)"
var q_14 = 0 "1 to 4 / (m3/s)"
var q_23 = 0 "2 to 3 / (m3/s)"
var q_25 = 0 "2 to 5 / (m3/s)"
var q_43 = 0 "4 to 3 / (m3/s)"
var q_53 = 0 "5 to 3 / (m3/s)"

eq pipe_s: p[0] - p[1] = r*q_s*abs(q_s)
eq pipe_12: p[1] - p[2] = r*q_12*abs(q_12)
eq pipe_14: p[1] - p[4] = r*q_14*abs(q_14)
eq pipe_23: p[2] - p[3] = r*q_23*abs(q_23)
eq pipe_25: p[2] - p[5] = r*q_25*abs(q_25)
eq pipe_43: p[4] - p[3] = r*q_43*abs(q_43)
eq pipe_53: p[5] - p[3] = r*q_53*abs(q_53)

eq node[1]: q_s = q_12 + q_14 + demand[1]
eq node[2]: q_12 = q_23 + q_25 + demand[2]
eq node[3]: q_23 + q_43 + q_53 = demand[3]
eq node[4]: q_14 = q_43 + demand[4]
eq node[5]: q_25 = q_53 + demand[5]

# The reservoir's pressure is left free; the supply is given instead.
eq supply: q_s = 0.06
