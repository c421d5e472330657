# Reference figures of the residual diagnostics, computed by R's own functions
# (acf, Box.test, shapiro.test) and a runs test and three-sigma limits
# written here, from standardized residuals written at full precision (one
# per line). The tests keep its output in tests/data/checks/*_r.txt; they
# never run R:
#   Rscript tools/residual_reference.R residuals.txt > tests/data/checks/NAME_r.txt
args <- commandArgs(trailingOnly = TRUE)
x <- scan(args[1], quiet = TRUE)
n <- length(x)
L <- min(10, n %/% 4)
f <- function(v) sprintf("%.17g", v)
cat("count", n, "\n")
cat("mean", f(mean(x)), "\n")
cat("sd", f(sd(x)), "\n")
a <- acf(x, lag.max = L, plot = FALSE)$acf[2:(L + 1)]
for (k in 1:L) cat("acf", k, f(a[k]), "\n")
b <- Box.test(x, lag = L, type = "Ljung-Box")
cat("ljung_box", f(b$statistic), f(b$p.value), "\n")
cat("ljung_box_upper_tail", f(pchisq(b$statistic, L, lower.tail = FALSE)), "\n")
s <- shapiro.test(x)
cat("shapiro", f(s$statistic), f(s$p.value), "\n")
# Runs of the signs (Wald-Wolfowitz), zeros left out; two-sided normal approximation.
g <- sign(x[x != 0])
runs <- 1 + sum(diff(g) != 0)
n1 <- sum(g > 0); n2 <- sum(g < 0); N <- n1 + n2
mu <- 2 * n1 * n2 / N + 1
v <- 2 * n1 * n2 * (2 * n1 * n2 - N) / (N^2 * (N - 1))
cat("runs", runs, f(mu), f(2 * pnorm(-abs((runs - mu) / sqrt(v)))), "\n")
# Three-sigma limits from the average moving range (control-chart rule).
mr <- abs(diff(x))
mr <- mr[mr < 3.267 * mean(mr)]
sdmr <- mean(mr) / 1.128
cat("three_sigma", f(sdmr), f(3 * sdmr), sum(abs(x) > 3 * sdmr), "\n")
