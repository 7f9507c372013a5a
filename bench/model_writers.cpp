#include "model_writers.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "bench_model.h"
#include "numeric_text.h"

namespace {

// A decimal text that reads back to the same double.
std::string decimal(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

// The exact hexadecimal C++ literal.
std::string hexadecimal(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%a", value);
    return buffer;
}

void write_json(std::ostream& out, const Term& term) {
    out << "{\"Type\":" << term.type;
    switch (term.type) {
        case 2:
            out << ",\"DoubleValue\":" << decimal(term.number);
            break;
        case 3:
        case 6:
            out << ",\"StringValue\":\"" << term.text << '"';
            break;
        case 4:
            out << ",\"StringValue\":\"x" << term.variable << '"';
            break;
        default:
            break;
    }
    if (!term.children.empty()) {
        out << ",\"SubExpressions\":[";
        for (std::size_t c = 0; c < term.children.size(); ++c) {
            out << (c ? "," : "");
            write_json(out, term.children[c]);
        }
        out << ']';
    }
    out << '}';
}

const char* native_function(const std::string& name) {
    if (name == "ln") {
        return "std::log";
    }
    if (name == "abs") {
        return "std::fabs";
    }
    if (name == "exp") {
        return "std::exp";
    }
    if (name == "sqrt") {
        return "guarded_sqrt";
    }
    return "std::log10";  // log, lg
}

// Sums from +0.0 and products from 1.0, folded left, as the walk does.
void write_native(std::ostream& out, const Term& term) {
    switch (term.type) {
        case 0:
        case 1: {
            const char* op = term.type == 0 ? " + " : " * ";
            out << std::string(term.children.size(), '(') << (term.type == 0 ? "0.0" : "1.0");
            for (const Term& child : term.children) {
                out << op;
                write_native(out, child);
                out << ')';
            }
            break;
        }
        case 2:
            out << hexadecimal(term.number);
            break;
        case 3:
            out << hexadecimal(numeric_text_value(term.text));
            break;
        case 4:
            out << "x[" << term.variable << ']';
            break;
        case 5:
            out << "std::pow(";
            write_native(out, term.children[0]);
            out << ", ";
            write_native(out, term.children[1]);
            out << ')';
            break;
        default:
            out << native_function(term.text) << '(';
            write_native(out, term.children[0]);
            out << ')';
            break;
    }
}

void write_muparser(std::ostream& out, const Term& term) {
    switch (term.type) {
        case 0:
        case 1: {
            out << '(';
            for (std::size_t c = 0; c < term.children.size(); ++c) {
                out << (c ? (term.type == 0 ? "+" : "*") : "");
                write_muparser(out, term.children[c]);
            }
            out << ')';
            break;
        }
        case 2:
            out << '(' << decimal(term.number) << ')';
            break;
        case 3:
            out << '(' << decimal(numeric_text_value(term.text)) << ')';
            break;
        case 4:
            out << 'x' << term.variable;
            break;
        case 5:
            out << '(';
            write_muparser(out, term.children[0]);
            out << ")^(";
            write_muparser(out, term.children[1]);
            out << ')';
            break;
        default: {
            const std::string& name = term.text;
            out << (name == "log" || name == "lg" ? "log10" : name) << '(';
            write_muparser(out, term.children[0]);
            out << ')';
            break;
        }
    }
}

void write_native_function(std::ostream& out, int count, int first, int last, bool jacobian) {
    out << "void " << (jacobian ? 'j' : 'r') << first << "(const double* x, double* out) {\n";
    for (int i = first; i < last; ++i) {
        const BenchEquation equation = bench_equation(i, count);
        if (!jacobian) {
            out << "    out[" << i << "] = ";
            write_native(out, equation.residual);
            out << ";\n";
            continue;
        }
        for (std::size_t e = 0; e < equation.derivatives.size(); ++e) {
            out << "    out[" << 3 * i + static_cast<int>(e) << "] = ";
            write_native(out, equation.derivatives[e]);
            out << ";\n";
        }
    }
    out << "}\n";
}

}  // namespace

void write_model_file(std::ostream& out, int count) {
    out << "{\"EquationList\":[";
    for (int i = 0; i < count; ++i) {
        const BenchEquation equation = bench_equation(i, count);
        out << (i ? ",\n" : "\n");
        std::ostringstream root;
        write_json(root, equation.residual);
        std::string text = root.str();
        text.pop_back();  // the closing brace: the root also carries the equation's members
        out << text << ",\"EquationName\":\"E" << i << "\",\"Variables\":[";
        for (std::size_t e = 0; e < equation.derivatives.size(); ++e) {
            out << (e ? "," : "") << "{\"VariableSymbol\":\"x" << equation.entry_variables[e]
                << "\",\"Differential\":";
            write_json(out, equation.derivatives[e]);
            out << '}';
        }
        out << "]}";
    }
    out << "],\n\"Variables\":[";
    for (int i = 0; i < count; ++i) {
        out << (i ? ",\n" : "\n") << "{\"VariableSymbol\":\"x" << i
            << "\",\"Initial\":" << decimal(bench_value(i)) << '}';
    }
    out << "]}\n";
}

void write_native_part(std::ostream& out, int count, int first, int last, int per_function) {
    out << "#include <cmath>\n"
           "static double guarded_sqrt(double x) { return x >= 0.0 ? std::sqrt(x) : 0.0; }\n";
    for (const bool jacobian : {false, true}) {
        for (int start = first; start < last; start += per_function) {
            write_native_function(out, count, start, std::min(last, start + per_function),
                                  jacobian);
        }
    }
}

void write_native_entries(std::ostream& out, int count, int per_function) {
    for (const bool jacobian : {false, true}) {
        const char kind = jacobian ? 'j' : 'r';
        for (int first = 0; first < count; first += per_function) {
            out << "void " << kind << first << "(const double* x, double* out);\n";
        }
        out << "extern \"C\" void bench_" << (jacobian ? "jacobian" : "residuals")
            << "(const double* x, double* out) {\n";
        for (int first = 0; first < count; first += per_function) {
            out << "    " << kind << first << "(x, out);\n";
        }
        out << "}\n";
    }
}

std::vector<std::string> muparser_formulas(int count) {
    std::vector<std::string> residuals;
    std::vector<std::string> derivatives;
    for (int i = 0; i < count; ++i) {
        const BenchEquation equation = bench_equation(i, count);
        std::ostringstream text;
        write_muparser(text, equation.residual);
        residuals.push_back(text.str());
        for (const Term& derivative : equation.derivatives) {
            std::ostringstream part;
            write_muparser(part, derivative);
            derivatives.push_back(part.str());
        }
    }
    residuals.insert(residuals.end(), derivatives.begin(), derivatives.end());
    return residuals;
}
