// Escaping of texts from list files for the contexts the templates put them
// in, so that every output stays well-formed whatever an editor writes.
//
// All functions take and give ANSI text (see textconv.h).  They step over
// two-byte codes whole, and they know the markup that the output conversion
// turns into characters (numeric references "&#" digits [";"] and hex markup
// "U+" and four hex digits), so that markup naming a special character is
// escaped like the character itself.  A text without special characters
// comes back unchanged.
#pragma once

#include <string>
#include <string_view>

namespace textconv {

// XML element text (also used for HTML text outside scripts).
std::string xmlText(std::string_view ansi);

// XML attribute value delimited by double quotes.
std::string xmlAttr(std::string_view ansi);

// Text inside a CDATA section: "]]>" never ends the section early.
std::string xmlCdata(std::string_view ansi);

// Contents of a JavaScript string literal delimited by quote (' or ") that
// stands inside an HTML <script> element.  The value of the literal is the
// text; HTML within it stays HTML.
std::string jsString(std::string_view ansi, char quote);

// A text that a template writes as JavaScript code where a number belongs:
// the text itself when it is a decimal number, otherwise the number it
// begins with ("0" when none).  ok tells which.
std::string jsNumber(std::string_view ansi, bool& ok);

}  // namespace textconv
