     2 < Number of models ranked; C-hat for QAICc calculation: 2.000
 Model     -nln[L] #Prms       QAICc      dQAICc     QAIC Wt                            Algorithm file                           Covariance file  Notes>
     1  2.6250E+00     2  7.3309E+00  0.0000E+00     0.96761                                     a.alg                                     a.cov  
     2  6.6250E+00     3  1.4125E+01  6.7941E+00     0.03239                                     b.alg                                     b.cov  second fit, C-hat 2

Parameter estimates and their SEs resulting from averaging across all ranked models.
Each model contributes to the reported averages according to its AIC Weight.
SEs will report a value of -1 if any model is missing an estimate for SE.

Parameter_#  Parameter_Value     SEs_Grid_#1     SEs_Grid_#2     SEs_Grid_#3
          1       1.0648E+00      2.1468E-01     -1.0000E+00      2.4013E-01
          2       2.0162E+00      2.9824E-01     -1.0000E+00      3.2627E-01
          3       5.0000E-01      2.2901E-03     -1.0000E+00      2.7482E-03

