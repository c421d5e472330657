     2 < Number of models ranked
 Model     -nln[L] #Prms        AICc       dAICc      AIC Wt                            Algorithm file                           Covariance file  Notes>
     1  2.6250E+00     2  9.9559E+00  0.0000E+00     0.99549                                     a.alg                                     a.cov  
     2  6.6250E+00     3  2.0750E+01  1.0794E+01     0.00451                                     b.alg                                     b.cov  

Parameter estimates and their SEs resulting from averaging across all ranked models.
Each model contributes to the reported averages according to its AIC Weight.
SEs will report a value of -1 if any model is missing an estimate for SE.

Parameter_#  Parameter_Value     SEs_Grid_#1     SEs_Grid_#2     SEs_Grid_#3
          1       1.0090E+00      1.0903E-01     -1.0000E+00      1.2889E-01
          2       2.0023E+00      2.0199E-01     -1.0000E+00      2.2196E-01
          3       5.0000E-01      2.2547E-04     -1.0000E+00      2.7057E-04

