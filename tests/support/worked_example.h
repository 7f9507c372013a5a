#pragma once

// The format's worked example as a model file's text: two variables X and Y
// and one equation, X*Y - 2, with both partial derivatives.
inline const char* const worked_example = R"({
  "EquationList": [{
    "Type": 0, "EquationName": "E1", "EquationString": "X*Y-2",
    "SubExpressions": [
      {"Type": 1, "SubExpressions": [{"Type": 4, "StringValue": "X"},
                                     {"Type": 4, "StringValue": "Y"}]},
      {"Type": 2, "DoubleValue": -2}],
    "Variables": [
      {"VariableSymbol": "X", "Differential": {"Type": 4, "StringValue": "Y"}},
      {"VariableSymbol": "Y", "Differential": {"Type": 4, "StringValue": "X"}}]}],
  "Variables": [
    {"VariableSymbol": "X", "VariableName": "feed", "Min": 0, "Max": 10, "Initial": 1},
    {"VariableSymbol": "Y", "Initial": 2}]
})";
