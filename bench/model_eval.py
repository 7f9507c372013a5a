"""Residuals and Jacobian of a model file, evaluated in Python from the file's
own trees, for SciPy's solvers: the same model quillon solves, not a second
transcription. Each tree becomes one Python expression, compiled once.

The node types and reading rules are the README's ("The model file"): a list
may be an array, an object (its values in key order) or one value, elements
equal to 0 are skipped; a reference to a symbol no model variable has is
worth 0; sqrt of a negative number is 0; numeric text is read in single
precision; functions other than the six are worth 0."""

import json
import math
import struct

import numpy
import scipy.sparse


def _list(value):
    if value is None:
        return []
    if isinstance(value, list):
        items = value
    elif isinstance(value, dict):
        items = [value[key] for key in sorted(value, key=lambda k: k.encode("utf-8"))]
    else:
        items = [value]
    return [item for item in items if not (isinstance(item, (int, float)) and not
                                           isinstance(item, bool) and item == 0)]


def _single(text):
    return struct.unpack("f", struct.pack("f", float(text)))[0]


def _pow(base, exponent):
    try:
        return math.pow(base, exponent)
    except ValueError:  # a negative base to a fractional power, or 0 to a negative one
        if base == 0:
            return math.copysign(math.inf, base) if float(exponent).is_integer() and \
                int(exponent) % 2 else math.inf
        return math.nan
    except OverflowError:
        return math.inf if base > 0 or float(exponent) % 2 == 0 else -math.inf


def _ln(value):
    if value > 0:
        return math.log(value)
    return -math.inf if value == 0 else math.nan


def _log10(value):
    if value > 0:
        return math.log10(value)
    return -math.inf if value == 0 else math.nan


def _exp(value):
    try:
        return math.exp(value)
    except OverflowError:
        return math.inf


def _sqrt(value):
    return math.sqrt(value) if value > 0 else 0.0


_FUNCTIONS = {"ln": "_ln", "log": "_log10", "lg": "_log10", "abs": "abs", "exp": "_exp",
              "sqrt": "_sqrt"}
_NAMESPACE = {"_pow": _pow, "_ln": _ln, "_log10": _log10, "_exp": _exp, "_sqrt": _sqrt,
              "inf": math.inf, "nan": math.nan}


class ModelFunctions:
    """F(x) and the dense Jacobian J(x) of a model file, and the variables'
    bounds (lower, upper); x holds one value per model variable, in file order."""

    def __init__(self, path):
        with open(path, encoding="utf-8") as text:
            document = json.load(text)
        self.symbols = []
        self.start = []
        self.lower = []
        self.upper = []
        column = {}
        for variable in _list(document.get("Variables")):
            symbol = variable.get("VariableSymbol")
            self.symbols.append(symbol)
            column.setdefault(symbol, len(self.symbols) - 1)
            initial = variable.get("Initial")
            self.start.append(float(initial) if initial is not None else 0.0)
            self.lower.append(float(variable.get("Min", -math.inf)))
            self.upper.append(float(variable.get("Max", math.inf)))
        self.start = numpy.array(self.start)
        self.lower = numpy.array(self.lower)
        self.upper = numpy.array(self.upper)
        self._column = column
        residuals = []
        derivatives = []
        for row, equation in enumerate(_list(document.get("EquationList"))):
            residuals.append(self._expression(equation))
            for entry in _list(equation.get("Variables")):
                if entry.get("VariableSymbol") in column:
                    derivatives.append((row, column[entry["VariableSymbol"]],
                                        self._expression(entry.get("Differential"))))
        self.size = len(residuals)
        self._residuals = self._compile("[" + ", ".join(residuals) + "]")
        self._places = numpy.array([(row, col) for row, col, _ in derivatives], dtype=int)
        self._derivatives = self._compile("[" + ", ".join(text for _, _, text in derivatives)
                                          + "]")

    def _compile(self, source):
        return eval(compile("lambda x: " + source, "<model>", "eval"), dict(_NAMESPACE))

    def _expression(self, node):
        """The node's tree as Python text, without recursion."""
        done = {}
        pending = [(node, False)]
        while pending:
            current, expanded = pending.pop()
            children = _list(current.get("SubExpressions")) if isinstance(current, dict) else []
            if not expanded and children:
                pending.append((current, True))
                pending.extend((child, False) for child in children)
                continue
            done[id(current)] = self._node_text(current, [done[id(c)] for c in children])
        return done[id(node)]

    def _node_text(self, node, parts):
        if not isinstance(node, dict):
            return "0.0"
        kind = node.get("Type")
        if kind == 0:
            return "(" + " + ".join(parts) + ")" if parts else "0.0"
        if kind == 1:
            return "(" + " * ".join(parts) + ")" if parts else "1.0"
        if kind == 2:
            return repr(float(node.get("DoubleValue")))
        if kind == 3:
            return repr(_single(node.get("StringValue")))
        if kind == 4:
            column = self._column.get(node.get("StringValue"))
            return "0.0" if column is None else f"x[{column}]"
        if kind == 5:
            return f"_pow({parts[0]}, {parts[1]})" if len(parts) >= 2 else "0.0"
        if kind == 6:
            function = _FUNCTIONS.get(node.get("StringValue"))
            return f"{function}({parts[0]})" if function and parts else "0.0"
        return "0.0"

    def residuals(self, x):
        return numpy.array(self._residuals(list(map(float, x))))

    def jacobian(self, x):
        matrix = numpy.zeros((self.size, len(self.symbols)))
        values = self._derivatives(list(map(float, x)))
        # numpy.add.at sums derivatives an equation lists twice, as the host does.
        numpy.add.at(matrix, (self._places[:, 0], self._places[:, 1]), values)
        return matrix

    def sparse_jacobian(self, x):
        """The Jacobian in compressed rows, for models too large to hold densely."""
        values = self._derivatives(list(map(float, x)))
        # The conversion sums derivatives an equation lists twice, as the host does.
        return scipy.sparse.coo_matrix((values, (self._places[:, 0], self._places[:, 1])),
                                       shape=(self.size, len(self.symbols))).tocsr()
