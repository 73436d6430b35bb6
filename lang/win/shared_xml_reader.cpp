#include "lang/win/shared_xml_reader.h"

#include "lang/win/win_code_page.h"

namespace q350::lang {

XmlReader& TheXmlReader() {
    static const WinCodePageConverter converter;
    static XmlReader reader(converter);
    return reader;
}

}  // namespace q350::lang
