// Pounds per gallon of liquid fertilizers, looked up by their N-P2O5-K2O analysis.
#pragma once

// The analysis percents are compared as whole numbers; unknown analyses weigh 10.5 lb/gal.
double LiquidDensity(double n, double p2o5, double k2o);
