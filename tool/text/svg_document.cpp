#include "svg_document.h"

#include <cstdio>

#include "file_faults.h"

namespace {

std::string escaped(const std::string& text) {
    std::string out;
    for (const char character : text) {
        switch (character) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                // XML holds no control character, not even as a reference.
                if (static_cast<unsigned char>(character) < 0x20 && character != '\t' &&
                    character != '\n') {
                    out += "\xEF\xBF\xBD";  // U+FFFD, the replacement character
                } else {
                    out += character;
                }
        }
    }
    return out;
}

std::string attribute(const char* name, const std::string& value) {
    return std::string(" ") + name + "=\"" + value + "\"";
}

std::string attribute(const char* name, double value) {
    return attribute(name, svg_coordinate(value));
}

// "x1,y1 x2,y2 ...", for the points of a polyline or polygon.
std::string coordinates_of(const std::vector<std::pair<double, double>>& points) {
    std::string coordinates;
    for (const auto& [x, y] : points) {
        coordinates +=
            (coordinates.empty() ? "" : " ") + svg_coordinate(x) + "," + svg_coordinate(y);
    }
    return coordinates;
}

}  // namespace

std::string svg_coordinate(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return buffer;
}

SvgDocument::SvgDocument(double width, double height) : width_(width), height_(height) {}

void SvgDocument::rect(double x, double y, double width, double height, const std::string& fill,
                       const std::string& stroke) {
    body_ += "<rect" + attribute("x", x) + attribute("y", y) + attribute("width", width) +
             attribute("height", height) + attribute("fill", fill) + attribute("stroke", stroke) +
             "/>\n";
}

void SvgDocument::line(double x1, double y1, double x2, double y2, const std::string& stroke,
                       double stroke_width) {
    body_ += "<line" + attribute("x1", x1) + attribute("y1", y1) + attribute("x2", x2) +
             attribute("y2", y2) + attribute("stroke", stroke) +
             attribute("stroke-width", stroke_width) + "/>\n";
}

void SvgDocument::polyline(const std::vector<std::pair<double, double>>& points,
                           const std::string& stroke) {
    body_ += "<polyline" + attribute("points", coordinates_of(points)) + attribute("fill", "none") +
             attribute("stroke", stroke) + attribute("stroke-width", 2.0) + "/>\n";
}

void SvgDocument::polygon(const std::vector<std::pair<double, double>>& points,
                          const std::string& fill, const std::string& stroke) {
    body_ += "<polygon" + attribute("points", coordinates_of(points)) + attribute("fill", fill) +
             attribute("stroke", stroke) + "/>\n";
}

void SvgDocument::circle(double x, double y, double radius, const std::string& fill) {
    body_ += "<circle" + attribute("cx", x) + attribute("cy", y) + attribute("r", radius) +
             attribute("fill", fill) + "/>\n";
}

void SvgDocument::text(double x, double y, const std::string& content, double size,
                       const std::string& anchor, double rotation) {
    std::string transform;
    if (rotation != 0.0) {
        transform = attribute("transform", "rotate(" + svg_coordinate(rotation) + " " +
                                               svg_coordinate(x) + " " + svg_coordinate(y) + ")");
    }
    body_ += "<text" + attribute("x", x) + attribute("y", y) + attribute("font-size", size) +
             attribute("text-anchor", anchor) + transform + ">" + escaped(content) + "</text>\n";
}

std::string SvgDocument::str() const {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\"" + attribute("width", width_) +
           attribute("height", height_) + attribute("font-family", "sans-serif") + ">\n" +
           "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n" + body_ + "</svg>\n";
}

void SvgDocument::save(const std::string& path) const {
    write_text_file(path, str());
}
