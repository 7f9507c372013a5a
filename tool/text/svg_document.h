#pragma once

#include <string>
#include <utility>
#include <vector>

// A small SVG picture built element by element and written to a file.
class SvgDocument {
  public:
    SvgDocument(double width, double height);

    void rect(double x, double y, double width, double height, const std::string& fill,
              const std::string& stroke = "none");
    void line(double x1, double y1, double x2, double y2, const std::string& stroke,
              double stroke_width = 1.0);
    void polyline(const std::vector<std::pair<double, double>>& points, const std::string& stroke);
    void circle(double x, double y, double radius, const std::string& fill);
    // A closed shape through `points`.
    void polygon(const std::vector<std::pair<double, double>>& points, const std::string& fill,
                 const std::string& stroke);
    // `anchor`: "start", "middle" or "end"; `rotation` in degrees about (x, y).
    void text(double x, double y, const std::string& content, double size,
              const std::string& anchor = "start", double rotation = 0.0);

    std::string str() const;
    // Throws std::runtime_error when the file cannot be written.
    void save(const std::string& path) const;

  private:
    double width_;
    double height_;
    std::string body_;
};

// A coordinate with few digits, enough for a picture.
std::string svg_coordinate(double value);
