#pragma once

#include "PageModel.h"

#include <QImage>
#include <QString>

class QPainter;
class QPrinter;

// Draws the page model: one painter for the preview, the printer and PDF.
namespace report {

// Paints one page with the painter's coordinates in points.
void PaintPage(QPainter& painter, const Page& page);

// The page as an image, `dotsPerPoint` pixels to a point (1 = 72 dpi).
QImage RenderPage(const Document& doc, int pageIndex, double dotsPerPoint);

// Writes the whole report as a PDF file; false with the reason when it cannot be written.
bool WritePdf(const Document& doc, const QString& path, QString* error);

// Sends every page to a printer set up by the caller.
void PrintDocument(const Document& doc, QPrinter& printer);

}  // namespace report
