// Figures for the RTF to HTML converter on one megabyte of ordinary and of hostile
// shapes. Prints timings; asserts nothing about them.
//   bench_rtftohtml [kilobytes=1024] [rounds=3] [shape...]
#include "news/rtftohtml.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace quoteria;

namespace {

QString repeated(const QString& unit, qsizetype size) {
    QString s;
    s.reserve(size + unit.size());
    while (s.size() < size)
        s += unit;
    return s;
}

struct Shape {
    const char* name;
    std::function<QString(qsizetype)> make;
};

QList<Shape> shapes() {
    const QString header = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 "
        "Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue255;}\r\n\\viewkind4\\uc1");
    const QString para = QStringLiteral(
        "\\pard\\qc\\cf1\\f0\\fs40 Rates \\b today\\b0  at the \\i counter\\i0 : caf\\'e9 "
        "\\ul 1.2345\\ulnone\\cf2  \\strike old\\strike0\\par\r\n"
        "{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
        "\\fi-720\\li720 USD \\super 2\\nosupersub\\'99\\par\r\n");
    auto fontTable = [](qsizetype n) {
        QString s = QStringLiteral("{\\fonttbl");
        for (int i = 0; s.size() < n; ++i)
            s += QStringLiteral("{\\f%1\\fnil Arial;}").arg(i);
        return s + QStringLiteral("}\\f5 x");
    };
    return {
        {"red", [](qsizetype n) { return "{\\colortbl ;" + repeated("\\red1;", n) + "}"; }},
        {"red-green",
         [](qsizetype n) { return "{\\colortbl ;" + repeated("\\red1\\green2;", n) + "}"; }},
        {"ordinary", [=](qsizetype n) { return header + repeated(para, n) + "}"; }},
        {"bare-red", [](qsizetype n) { return "{\\colortbl ;" + repeated("\\red", n) + "}"; }},
        {"colour-table-unclosed",
         [](qsizetype n) { return "{\\colortbl ;" + repeated("\\red1;", n); }},
        {"font-table", fontTable},
        {"long-face",
         [](qsizetype n) {
             return "{\\fonttbl{\\f0 " + repeated("A", n / 2) + ";}{\\f1 B;}}" +
                    repeated("\\f0 x\\f1 y", n / 2);
         }},
        {"stylesheet",
         [](qsizetype n) { return "{\\stylesheet" + repeated("{\\s1 h;}", n) + "}x"; }},
        {"open-braces", [](qsizetype n) { return repeated("{", n); }},
        {"close-braces", [](qsizetype n) { return repeated("}", n); }},
        {"groups", [](qsizetype n) { return repeated("{\\b x}", n); }},
        {"long-word", [](qsizetype n) { return "\\" + repeated("a", n); }},
        {"long-unicode", [](qsizetype n) { return "\\u65" + repeated("b", n) + " x"; }},
        {"par", [](qsizetype n) { return repeated("\\par", n) + "x"; }},
        {"text-par", [](qsizetype n) { return repeated("a\\par ", n); }},
        {"hex", [](qsizetype n) { return repeated("\\'e9", n); }},
        {"hex-tm", [](qsizetype n) { return repeated("\\'99", n); }},
        {"tabs", [](qsizetype n) { return repeated("\\tab", n); }},
        {"lines", [](qsizetype n) { return repeated("a\r\n", n); }},
        {"colour-switch",
         [](qsizetype n) {
             return "{\\colortbl ;\\red1;\\red2;}" + repeated("\\cf1 x\\cf2 y", n);
         }},
        {"align-switch", [](qsizetype n) { return repeated("\\qc x\\qr y", n); }},
        {"deep-reopen",
         [](qsizetype n) { return repeated("\\i", 180) + repeated("{\\pntext}x", n); }},
    };
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype size = (args.size() > 1 ? args.at(1).toLongLong() : 1024) * 1024;
    const int rounds = std::max(1, args.size() > 2 ? args.at(2).toInt() : 3);
    const QStringList only = args.mid(3);

    std::printf("%-22s %10s %12s %10s %10s\n", "shape", "input", "output", "median", "max");
    for (const Shape& shape : shapes()) {
        if (!only.isEmpty() && !only.contains(QLatin1String(shape.name)))
            continue;
        const QString rtf = shape.make(size);
        QList<double> ms;
        qsizetype outSize = 0;
        for (int round = 0; round < rounds; ++round) {
            RtfToHtml converter;
            QElapsedTimer t;
            t.start();
            outSize = converter.convert(rtf, QStringLiteral("0")).size();
            ms << t.nsecsElapsed() / 1e6;
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%-22s %10lld %12lld %7.1f ms %7.1f ms\n", shape.name, qint64(rtf.size()),
                    qint64(outSize), ms.at(ms.size() / 2), ms.last());
        std::fflush(stdout);
    }
    return 0;
}
