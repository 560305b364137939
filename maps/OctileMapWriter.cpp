#include "OctileMapWriter.h"

#include <ostream>

void writeOctileMap(std::ostream& out, const OctileRows& rows) {
    out << "type octile\nheight " << rows.size() << "\nwidth " << rows[0].size() << "\nmap\n";
    for (const std::string& row : rows) out << row << '\n';
}
