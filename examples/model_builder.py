"""Builds quillon model files from expressions written in Python.

Each equation lists the variables its residual uses, each with the partial
derivative of the residual as a ready-made tree; the derivatives come from the
small symbolic differentiator below, so they agree with the residual by
construction.
"""

import json
import math


class Expr:
    def __add__(self, other):
        return add(self, lift(other))

    def __radd__(self, other):
        return add(lift(other), self)

    def __sub__(self, other):
        return add(self, mul(Num(-1.0), lift(other)))

    def __rsub__(self, other):
        return add(lift(other), mul(Num(-1.0), self))

    def __mul__(self, other):
        return mul(self, lift(other))

    def __rmul__(self, other):
        return mul(lift(other), self)

    def __truediv__(self, other):
        return mul(self, power(lift(other), Num(-1.0)))

    def __rtruediv__(self, other):
        return mul(lift(other), power(self, Num(-1.0)))

    def __neg__(self):
        return mul(Num(-1.0), self)

    def __pow__(self, other):
        return power(self, lift(other))


class Num(Expr):
    def __init__(self, value):
        self.value = float(value)

    def node(self):
        return {"Type": 2, "DoubleValue": self.value}

    def derivative(self, symbol):
        return Num(0.0)

    def symbols(self):
        return []

    def __str__(self):
        return repr(self.value)


class Var(Expr):
    def __init__(self, symbol):
        self.symbol = symbol

    def node(self):
        return {"Type": 4, "StringValue": self.symbol}

    def derivative(self, symbol):
        return Num(1.0 if symbol == self.symbol else 0.0)

    def symbols(self):
        return [self.symbol]

    def __str__(self):
        return self.symbol


class Sum(Expr):
    def __init__(self, terms):
        self.terms = terms

    def node(self):
        return {"Type": 0, "SubExpressions": [term.node() for term in self.terms]}

    def derivative(self, symbol):
        return add(*[term.derivative(symbol) for term in self.terms])

    def symbols(self):
        return [s for term in self.terms for s in term.symbols()]

    def __str__(self):
        return "(" + " + ".join(str(term) for term in self.terms) + ")"


class Product(Expr):
    def __init__(self, factors):
        self.factors = factors

    def node(self):
        return {"Type": 1, "SubExpressions": [factor.node() for factor in self.factors]}

    def derivative(self, symbol):
        terms = []
        for index, factor in enumerate(self.factors):
            others = self.factors[:index] + self.factors[index + 1:]
            terms.append(mul(factor.derivative(symbol), *others))
        return add(*terms)

    def symbols(self):
        return [s for factor in self.factors for s in factor.symbols()]

    def __str__(self):
        return "*".join(str(factor) for factor in self.factors)


class Power(Expr):
    def __init__(self, base, exponent):
        self.base = base
        self.exponent = exponent

    def node(self):
        return {"Type": 5, "SubExpressions": [self.base.node(), self.exponent.node()]}

    def derivative(self, symbol):
        if isinstance(self.exponent, Num):
            n = self.exponent.value
            return mul(Num(n), power(self.base, Num(n - 1)), self.base.derivative(symbol))
        return mul(self, add(mul(self.exponent.derivative(symbol), ln(self.base)),
                             mul(self.exponent, self.base.derivative(symbol),
                                 power(self.base, Num(-1.0)))))

    def symbols(self):
        return self.base.symbols() + self.exponent.symbols()

    def __str__(self):
        return "%s^%s" % (self.base, self.exponent)


class Function(Expr):
    def __init__(self, name, argument):
        self.name = name
        self.argument = argument

    def node(self):
        return {"Type": 6, "StringValue": self.name, "SubExpressions": [self.argument.node()]}

    def derivative(self, symbol):
        inner = self.argument.derivative(symbol)
        x = self.argument
        outer = {
            "ln": lambda: power(x, Num(-1.0)),
            "log": lambda: mul(Num(1 / math.log(10)), power(x, Num(-1.0))),
            "exp": lambda: self,
            "sqrt": lambda: mul(Num(0.5), power(self, Num(-1.0))),
        }[self.name]()
        return mul(outer, inner)

    def symbols(self):
        return self.argument.symbols()

    def __str__(self):
        return "%s(%s)" % (self.name, self.argument)


def lift(value):
    return value if isinstance(value, Expr) else Num(value)


def add(*terms):
    flat = []
    constant = 0.0
    for term in terms:
        parts = term.terms if isinstance(term, Sum) else [term]
        for part in parts:
            if isinstance(part, Num):
                constant += part.value
            else:
                flat.append(part)
    if constant != 0.0 or not flat:
        flat.append(Num(constant))
    return flat[0] if len(flat) == 1 else Sum(flat)


def mul(*factors):
    flat = []
    constant = 1.0
    for factor in factors:
        parts = factor.factors if isinstance(factor, Product) else [factor]
        for part in parts:
            if isinstance(part, Num):
                constant *= part.value
            else:
                flat.append(part)
    if constant == 0.0:
        return Num(0.0)
    if constant != 1.0 or not flat:
        flat.insert(0, Num(constant))
    return flat[0] if len(flat) == 1 else Product(flat)


def power(base, exponent):
    if isinstance(exponent, Num) and exponent.value == 1.0:
        return base
    if isinstance(exponent, Num) and exponent.value == 0.0:
        return Num(1.0)
    return Power(base, exponent)


def ln(x):
    return Function("ln", lift(x))


def exp(x):
    return Function("exp", lift(x))


def sqrt(x):
    return Function("sqrt", lift(x))


class Model:
    def __init__(self):
        self.variables = []
        self.equations = []

    def variable(self, symbol, name, initial, lower=None, upper=None):
        record = {"VariableSymbol": symbol, "VariableName": name, "Initial": float(initial)}
        if lower is not None:
            record["Min"] = float(lower)
        if upper is not None:
            record["Max"] = float(upper)
        self.variables.append(record)
        return Var(symbol)

    def equation(self, name, residual):
        used = list(dict.fromkeys(residual.symbols()))
        self.equations.append({
            **residual.node(),
            "EquationName": name,
            "EquationString": str(residual) + " = 0",
            "Variables": [{"VariableSymbol": symbol,
                           "Differential": residual.derivative(symbol).node()}
                          for symbol in used],
        })

    def document(self):
        return {"EquationList": self.equations, "Variables": self.variables}

    def write(self, out, indent=None):
        json.dump(self.document(), out, indent=indent, separators=(",", ":") if indent is None else None)
        out.write("\n")
