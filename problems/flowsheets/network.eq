# A looped water network in Pa: a reservoir holds node 1 at a given pressure
# and supplies four junctions through five pipes, each with a pressure drop
# proportional to its flow squared; the supply is whatever the junctions draw.

const p_reservoir = 4.0e5             # Pa
const d2 = 0.03
const d3 = 0.04
const d4 = 0.03                       # junction demands, m3/s
const r1 = 2.0e6
const r2 = 3.0e6
const r3 = 5.0e6
const r4 = 4.0e6
const r5 = 6.0e6                      # pipe resistances, Pa/(m3/s)^2

var p[i] = 3e5 in [0, ] "pressure / Pa" for i in 1..4
var Q[k] = 0.02 "pipe flow / (m3/s)" for k in 1..5
var Q_supply = 0.05 in [0, ] "supply / (m3/s)"

eq reservoir: p[1] = p_reservoir

# Pipes: 1 from node 1 to 2, 2 from 1 to 3, 3 from 2 to 3, 4 from 2 to 4, 5 from 3 to 4.
eq pipe[1]: p[1] - p[2] = r1*Q[1]*abs(Q[1])
eq pipe[2]: p[1] - p[3] = r2*Q[2]*abs(Q[2])
eq pipe[3]: p[2] - p[3] = r3*Q[3]*abs(Q[3])
eq pipe[4]: p[2] - p[4] = r4*Q[4]*abs(Q[4])
eq pipe[5]: p[3] - p[4] = r5*Q[5]*abs(Q[5])

eq node[1]: Q_supply = Q[1] + Q[2]
eq node[2]: Q[1] = Q[3] + Q[4] + d2
eq node[3]: Q[2] + Q[3] = Q[5] + d3
eq node[4]: Q[4] + Q[5] = d4
