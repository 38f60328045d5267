# The design coefficients k0..k10 as a --params list, for the scripts,
# benchmarks and shell tests that source this file. A test holds it to the
# coefficient table.
design_params=0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5
