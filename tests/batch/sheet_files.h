// SPDX-License-Identifier: GPL-3.0-or-later
// Spreadsheet files made the way spreadsheets store them: a zip archive of
// XML parts, written with libzip. The sheet's XML is given whole, so a test
// shows the shape it reads (shared strings, skipped cells, repeated rows).
#pragma once

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>
#include <zip.h>

namespace heatx::test {

using ZipParts = std::vector<std::pair<std::string, std::string>>;

inline std::string ZipBytes(const ZipParts& parts) {
    QTemporaryDir dir;
    const std::string path = (dir.path() + QStringLiteral("/t.zip")).toStdString();
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    EXPECT_NE(zip, nullptr);
    if (zip == nullptr) return {};
    for (const auto& [name, text] : parts) {
        zip_source_t* source = zip_source_buffer(zip, text.data(), text.size(), 0);
        EXPECT_GE(zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8), 0) << name;
    }
    EXPECT_EQ(zip_close(zip), 0);
    FILE* f = std::fopen(path.c_str(), "rb");
    std::string bytes;
    char buffer[65536];
    for (std::size_t n; f != nullptr && (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
    if (f != nullptr) std::fclose(f);
    return bytes;
}

// An .xlsx of one sheet "Варианты" with these rows (<row> elements), shared
// strings (<si> elements) and cell styles (the styles part's elements).
inline std::string XlsxBytes(const std::string& rows, const std::string& sharedStrings = {},
                             const std::string& styles = {}) {
    const std::string ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    ZipParts parts = {
        {"[Content_Types].xml", "<?xml version=\"1.0\"?><Types/>"},
        {"xl/workbook.xml", "<?xml version=\"1.0\"?><workbook xmlns=\"" + ns + "\" xmlns:r=\"" + rel +
                                "\"><sheets><sheet name=\"Варианты\" sheetId=\"1\" r:id=\"rId7\"/>"
                                "<sheet name=\"Второй\" sheetId=\"2\" r:id=\"rId8\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<?xml version=\"1.0\"?><Relationships><Relationship Id=\"rId8\" Target=\"worksheets/sheet1.xml\"/>"
         "<Relationship Id=\"rId7\" Target=\"worksheets/first.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml", "<?xml version=\"1.0\"?><worksheet xmlns=\"" + ns +
                                         "\"><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData></worksheet>"},
        {"xl/worksheets/first.xml",
         "<?xml version=\"1.0\"?><worksheet xmlns=\"" + ns + "\"><sheetData>" + rows + "</sheetData></worksheet>"},
    };
    if (!sharedStrings.empty())
        parts.push_back({"xl/sharedStrings.xml", "<?xml version=\"1.0\"?><sst xmlns=\"" + ns + "\">" + sharedStrings + "</sst>"});
    if (!styles.empty())
        parts.push_back({"xl/styles.xml", "<?xml version=\"1.0\"?><styleSheet xmlns=\"" + ns + "\">" + styles + "</styleSheet>"});
    return ZipBytes(parts);
}

// An .ods whose first table has these rows (<table:table-row> elements).
inline std::string OdsBytes(const std::string& rows) {
    const std::string content =
        "<?xml version=\"1.0\"?><office:document-content "
        "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:spreadsheet>"
        "<table:table table:name=\"Лист1\"><table:table-column table:number-columns-repeated=\"5\"/>" +
        rows +
        "</table:table><table:table table:name=\"Лист2\"><table:table-row><table:table-cell "
        "office:value-type=\"float\" office:value=\"9\"/></table:table-row></table:table>"
        "</office:spreadsheet></office:body></office:document-content>";
    return ZipBytes({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", content}});
}

}  // namespace heatx::test
