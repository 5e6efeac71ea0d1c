wipe
model basic -ndm 3 -ndf 6;
node 1 0.0 0.0 0.0  
node 2 0.0 0.0 0.0  
fix 1 1 1 1 1 1 1  
fix 2 0 1 1 1 0 0  
uniaxialMaterial Concrete01 1 -4.751E+001 -2.919E-003 -7.043E+000 -6.036E-003
uniaxialMaterial Steel02 2 2.387E+002 2.044E+005 0.000E+000
section	Fiber	1001	-GJ	1e12	{
fiber	-1.629E+002	-1.040E+002	2.823E+003	1
fiber	-1.086E+002	-1.040E+002	2.823E+003	1
fiber	-5.429E+001	-1.040E+002	2.823E+003	1
fiber	8.674E-018	-1.040E+002	2.823E+003	1
fiber	5.429E+001	-1.040E+002	2.823E+003	1
fiber	1.086E+002	-1.040E+002	2.823E+003	1
fiber	1.629E+002	-1.040E+002	2.823E+003	1
fiber	-1.629E+002	-5.200E+001	2.823E+003	1
fiber	-1.086E+002	-5.200E+001	2.823E+003	1
fiber	-5.429E+001	-5.200E+001	2.823E+003	1
fiber	8.674E-018	-5.200E+001	2.823E+003	1
fiber	5.429E+001	-5.200E+001	2.823E+003	1
fiber	1.086E+002	-5.200E+001	2.823E+003	1
fiber	1.629E+002	-5.200E+001	2.823E+003	1
fiber	-1.629E+002	0.000E+000	2.823E+003	1
fiber	-1.086E+002	0.000E+000	2.823E+003	1
fiber	-5.429E+001	0.000E+000	2.823E+003	1
fiber	8.674E-018	0.000E+000	2.823E+003	1
fiber	5.429E+001	0.000E+000	2.823E+003	1
fiber	1.086E+002	0.000E+000	2.823E+003	1
fiber	1.629E+002	0.000E+000	2.823E+003	1
fiber	-1.629E+002	5.200E+001	2.823E+003	1
fiber	-1.086E+002	5.200E+001	2.823E+003	1
fiber	-5.429E+001	5.200E+001	2.823E+003	1
fiber	8.674E-018	5.200E+001	2.823E+003	1
fiber	5.429E+001	5.200E+001	2.823E+003	1
fiber	1.086E+002	5.200E+001	2.823E+003	1
fiber	1.629E+002	5.200E+001	2.823E+003	1
fiber	-1.629E+002	1.040E+002	2.823E+003	1
fiber	-1.086E+002	1.040E+002	2.823E+003	1
fiber	-5.429E+001	1.040E+002	2.823E+003	1
fiber	8.674E-018	1.040E+002	2.823E+003	1
fiber	5.429E+001	1.040E+002	2.823E+003	1
fiber	1.086E+002	1.040E+002	2.823E+003	1
fiber	1.629E+002	1.040E+002	2.823E+003	1
fiber	-4.933E+001	-8.800E+001	4.906E+002	2
fiber	-4.933E+001	8.800E+001	4.906E+002	2
fiber	4.933E+001	-8.800E+001	4.906E+002	2
fiber	4.933E+001	8.800E+001	4.906E+002	2
fiber	-1.480E+002	0.000E+000	4.906E+002	2
fiber	1.480E+002	0.000E+000	4.906E+002	2
fiber	-1.480E+002	-8.800E+001	3.140E+002	2
fiber	1.480E+002	-8.800E+001	3.140E+002	2
fiber	1.480E+002	8.800E+001	3.140E+002	2
fiber	-1.480E+002	8.800E+001	3.140E+002	2
}
element zeroLengthSection  1   1   2  1001
pattern Plain 1 Constant {
load 2 -3.626E+006 0.0 0.0 0.0 0.0 0.0
}
integrator LoadControl 0.1
system SparseGeneral -piv;
test EnergyIncr 1e-10 200
numberer Plain
constraints Plain
algorithm Newton
analysis Static
analyze 10
loadConst -time 0.0
recorder Node -file A2_mom_cur.out -time -node 2 -dof 6 5 disp
pattern Plain 2 Linear {
load 2 0.0 0.0 0.0 0.0 2.588E+005 9.659E+005
}
integrator DisplacementControl 2 6 4.376E-007
analyze 100 
file delete A2.tcl
