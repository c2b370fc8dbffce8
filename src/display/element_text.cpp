#include "display/element_text.h"

#include "display/cell_layout.h"
#include "display/extended_types.h"
#include "display/number_text.h"
#include "values/shape.h"

namespace wox::display {

int elementText(const values::Context& cx, const ValueDescriptor& d, std::int64_t i, int width, std::string& out) {
    const std::size_t start = out.size();
    if (i >= 0 && i < d.count) {
        const auto& ws = cx.ws;
        char buf[kComplexTextMax];
        int n = 0;
        switch (d.type) {
            case kBoolean:
            case kInteger:
                n = integerText(buf, ws.elems<std::int32_t>(d)[i]);
                break;
            case kFloat:
                n = floatText(buf, ws.elems<double>(d)[i]);
                break;
            case kComplex: {
                const double* z = ws.elems<double>(d) + 2 * i;
                n = complexText(buf, z[0], z[1]);
                break;
            }
            case kTemporal:
                n = temporalText(cx, ws.elems<std::int32_t>(d)[i], buf);
                break;
            case kChar:
                if (d.rank >= 2) {
                    const std::int64_t cols = values::dimension(ws, d, d.rank - 1);
                    if ((i + 1) * cols <= d.count) out.append(ws.elems<char>(d) + i * cols, static_cast<std::size_t>(cols));
                } else {
                    out.push_back(ws.elems<char>(d)[i]);
                }
                break;
            case kSymbol:
                out.append(symbolName(cx, ws.elems<std::int32_t>(d)[i]));
                break;
            case kEnumeration:
                enumerationElementText(cx, d, i, out);
                break;
            default:
                break;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
    if (width != -1) padBlanks(out, width - static_cast<int>(out.size() - start));
    return static_cast<int>(out.size() - start);
}

}  // namespace wox::display
