#include "core/plist/xml_writer.h"

#include "core/plist/base64.h"
#include "core/plist/date_text.h"

#include <charconv>
#include <cmath>

namespace platter::plist {

void appendXmlText(std::string& out, std::string_view s) {
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '&')
            out += "&#38;";
        else if (c == '<')
            out += "&#60;";
        else if (c == '>')
            out += "&#62;";
        else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
            continue;
        else
            out += ch;
    }
}

namespace {

class Writer {
public:
    std::string out;

    void value(const Value& v, int depth) {
        std::visit([&](const auto& x) { item(x, depth); }, v.storage());
    }

private:
    void indent(int depth) { out.append(static_cast<std::size_t>(depth), '\t'); }

    void text(std::string_view s) { appendXmlText(out, s); }

    void leaf(std::string_view tag, std::string_view body) {
        out += '<';
        out += tag;
        out += '>';
        out += body;
        out += "</";
        out += tag;
        out += ">\n";
    }

    void item(const std::string& s, int) {
        out += "<string>";
        text(s);
        out += "</string>\n";
    }
    void item(std::int64_t i, int) { integer(i, false); }
    void item(double r, int) { real(r); }
    void item(bool b, int) { out += b ? "<true/>\n" : "<false/>\n"; }
    void item(Date d, int) { leaf("date", formatDate(d)); }
    void item(const Data& d, int) { leaf("data", encodeBase64(d.bytes)); }
    void item(const Array& a, int depth) {
        if (a.empty()) return void(out += "<array/>\n");
        out += "<array>\n";
        for (const auto& v : a) {
            indent(depth + 1);
            value(v, depth + 1);
        }
        indent(depth);
        out += "</array>\n";
    }
    void item(const Dict& d, int depth) {
        if (d.empty()) return void(out += "<dict/>\n");
        out += "<dict>\n";
        for (const auto& e : d)
            entry(
                e.first, depth + 1, [&] { value(e.second, depth + 1); }, isContainer(e.second));
        indent(depth);
        out += "</dict>\n";
    }
    void item(NodeRef n, int depth) { node(n, depth); }

    static bool isContainer(const Value& v) {
        if (const auto* n = v.get<NodeRef>()) return n->is(Type::Dict) || n->is(Type::Array);
        return v.is<Dict>() || v.is<Array>();
    }

    template <class F> void entry(std::string_view key, int depth, F&& writeValue, bool container) {
        indent(depth);
        out += "<key>";
        text(key);
        out += "</key>";
        if (container) {
            out += '\n';
            indent(depth);
        }
        writeValue();
    }

    void integer(std::int64_t i, bool asUnsigned) {
        char buf[24];
        const auto r = asUnsigned ? std::to_chars(buf, buf + sizeof buf, static_cast<std::uint64_t>(i))
                                  : std::to_chars(buf, buf + sizeof buf, i);
        leaf("integer", std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)));
    }

    void real(double r) {
        if (std::isnan(r)) return leaf("real", "nan");
        if (std::isinf(r)) return leaf("real", r > 0 ? "+infinity" : "-infinity");
        char buf[32];
        const auto res = std::to_chars(buf, buf + sizeof buf, r);
        leaf("real", std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)));
    }

    void node(NodeRef n, int depth) {
        switch (n.type()) {
        case Type::Dict:
            if (n.size() == 0) return void(out += "<dict/>\n");
            out += "<dict>\n";
            for (std::size_t i = 0; i < n.size(); ++i) {
                const auto child = n.at(i);
                entry(
                    n.keyAt(i), depth + 1, [&] { node(child, depth + 1); },
                    child.is(Type::Dict) || child.is(Type::Array));
            }
            indent(depth);
            out += "</dict>\n";
            return;
        case Type::Array:
            if (n.size() == 0) return void(out += "<array/>\n");
            out += "<array>\n";
            for (std::size_t i = 0; i < n.size(); ++i) {
                indent(depth + 1);
                node(n.at(i), depth + 1);
            }
            indent(depth);
            out += "</array>\n";
            return;
        case Type::String:
            out += "<string>";
            text(n.string());
            out += "</string>\n";
            return;
        case Type::Integer:
            return integer(n.integer(), n.integerIsUnsigned());
        case Type::Real:
            return real(n.real());
        case Type::Boolean:
            return item(n.boolean(), depth);
        case Type::Date:
            return item(n.date(), depth);
        case Type::Data:
            return leaf("data", encodeBase64(n.data()));
        }
    }
};

} // namespace

std::string writeXml(const Value& root) {
    Writer w;
    w.out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
            "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
            "<plist version=\"1.0\">\n";
    w.value(root, 0);
    w.out += "</plist>\n";
    return w.out;
}

} // namespace platter::plist
