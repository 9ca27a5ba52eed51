#include "notes/mime/MimeParser.h"

// GLib names a struct member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gmime/gmime.h>
#pragma pop_macro("signals")

#include <mutex>

namespace mime {

namespace {

void initGMime() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

// Owns one GObject reference.
template <typename T>
struct GRef {
    T* p = nullptr;
    explicit GRef(T* ptr = nullptr) : p(ptr) {}
    ~GRef() {
        if (p) g_object_unref(p);
    }
    GRef(const GRef&) = delete;
    GRef& operator=(const GRef&) = delete;
    T* get() const { return p; }
};

struct GFree {
    char* p;
    explicit GFree(char* ptr) : p(ptr) {}
    ~GFree() { g_free(p); }
    GFree(const GFree&) = delete;
    GFree& operator=(const GFree&) = delete;
};

QString warningText(GMimeParserWarning code, const char* item) {
    const QString what = item ? QString::fromUtf8(item).left(80) : QString();
    switch (code) {
        case GMIME_WARN_MALFORMED_MULTIPART:
            return QStringLiteral("A multipart has no parts (its boundary never occurs).");
        case GMIME_WARN_TRUNCATED_MESSAGE:
            return QStringLiteral("The message is cut short (a closing boundary is missing).");
        case GMIME_WARN_MALFORMED_MESSAGE: return QStringLiteral("The message is malformed.");
        case GMIME_CRIT_MULTIPART_WITHOUT_BOUNDARY:
            return QStringLiteral("A multipart has no boundary parameter; its parts cannot be told apart.");
        case GMIME_CRIT_NESTING_OVERFLOW:
            return QStringLiteral("The parts are nested too deeply; the deepest were not read.");
        case GMIME_CRIT_PART_WITHOUT_HEADERS_OR_CONTENT:
            return QStringLiteral("A part has neither headers nor content.");
        case GMIME_CRIT_INVALID_HEADER_NAME:
            return QStringLiteral("Invalid header name \"%1\"; part of the message may be missing.").arg(what);
        case GMIME_WARN_INVALID_CONTENT_TYPE:
            return QStringLiteral("Invalid content type \"%1\"; read as application/octet-stream.").arg(what);
        default: return {};  // harmless irregularities (duplicate headers, 8-bit headers, ...)
    }
}

struct ParseContext {
    QStringList warnings;
};

void onWarning(gint64, GMimeParserWarning code, const gchar* item, gpointer user) {
    auto* ctx = static_cast<ParseContext*>(user);
    const QString text = warningText(code, item);
    if (!text.isEmpty() && !ctx->warnings.contains(text) && ctx->warnings.size() < 20) ctx->warnings << text;
}

struct OptionsOwner {
    GMimeParserOptions* p;
    explicit OptionsOwner(ParseContext* ctx) : p(g_mime_parser_options_new()) {
        static const char* fallback[] = {"UTF-8", "CP1252", nullptr};
        g_mime_parser_options_set_fallback_charsets(p, fallback);
        if (ctx) g_mime_parser_options_set_warning_callback(p, onWarning, ctx);
    }
    ~OptionsOwner() { g_mime_parser_options_free(p); }
    OptionsOwner(const OptionsOwner&) = delete;
    OptionsOwner& operator=(const OptionsOwner&) = delete;
};

QString fromUtf8(const char* s) { return s ? QString::fromUtf8(s) : QString(); }

QByteArray streamBytes(GMimeStream* stream) {
    QByteArray out;
    if (!stream) return out;
    g_mime_stream_reset(stream);
    char buf[16384];
    for (;;) {
        const ssize_t n = g_mime_stream_read(stream, buf, sizeof buf);
        if (n <= 0) break;
        out.append(buf, qsizetype(n));
    }
    g_mime_stream_reset(stream);
    return out;
}

// True when base64 text stops before its last quantum is complete.
bool base64CutShort(const QByteArray& encoded) {
    qint64 count = 0;
    bool padded = false;
    for (char c : encoded) {
        const bool alpha = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+'
                           || c == '/';
        if (alpha) ++count;
        else if (c == '=') padded = true;
    }
    return !padded && count % 4 != 0;
}

void readHeaders(GMimeObject* object, MimeEntity& e) {
    GMimeHeaderList* list = g_mime_object_get_header_list(object);
    if (!list) return;
    const int n = g_mime_header_list_get_count(list);
    for (int i = 0; i < n && i < 1000; ++i) {
        GMimeHeader* h = g_mime_header_list_get_header_at(list, i);
        if (!h) continue;
        const char* raw = g_mime_header_get_raw_value(h);
        GFree unfolded(g_mime_utils_header_unfold(raw ? raw : ""));
        e.headers.emplace_back(QByteArray(g_mime_header_get_name(h)), QByteArray(unfolded.p).trimmed());
    }
}

void readObject(GMimeObject* object, MimeEntity& e, int depth);

void readLeaf(GMimePart* part, MimeEntity& e) {
    e.fileName = fromUtf8(g_mime_part_get_filename(part));
    e.contentLocation = fromUtf8(g_mime_part_get_content_location(part));
    const GMimeContentEncoding enc = g_mime_part_get_content_encoding(part);
    if (enc != GMIME_CONTENT_ENCODING_DEFAULT)
        e.transferEncoding = fromUtf8(g_mime_content_encoding_to_string(enc)).toLower();
    GMimeDataWrapper* content = g_mime_part_get_content(part);
    if (!content) return;
    if (g_mime_data_wrapper_get_encoding(content) == GMIME_CONTENT_ENCODING_BASE64
        && base64CutShort(streamBytes(g_mime_data_wrapper_get_stream(content))))
        e.problems << QStringLiteral("The base64 content of \"%1\" is cut short; the part may be incomplete.")
                          .arg(e.fileName.isEmpty() ? e.mimeType() : e.fileName);
    GRef<GMimeStream> out(g_mime_stream_mem_new());
    if (g_mime_data_wrapper_write_to_stream(content, out.get()) < 0)
        e.problems << QStringLiteral("The content of a %1 part could not be decoded.").arg(e.mimeType());
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    if (bytes && bytes->len) e.body = QByteArray(reinterpret_cast<const char*>(bytes->data), qsizetype(bytes->len));
}

void readMultipart(GMimeMultipart* mp, MimeEntity& e, int depth) {
    // The parameter as the message has it. g_mime_multipart_get_boundary()
    // makes one up when it is missing, and re-encoding the header for it can
    // loop without end on an odd parameter name (gigabytes from a few hundred
    // bytes of input).
    GMimeContentType* type = g_mime_object_get_content_type(GMIME_OBJECT(mp));
    e.boundary = fromUtf8(type ? g_mime_content_type_get_parameter(type, "boundary") : nullptr);
    const int n = g_mime_multipart_get_count(mp);
    for (int i = 0; i < n; ++i) {
        GMimeObject* child = g_mime_multipart_get_part(mp, i);
        if (!child) continue;
        e.children.emplace_back();
        readObject(child, e.children.back(), depth + 1);
    }
    if (e.children.empty()) {
        e.problems << QStringLiteral("A %1 part has no parts: its boundary \"%2\" never occurs.")
                          .arg(e.mimeType(), e.boundary.left(80));
        // Keep the text that was there rather than lose it.
        const QByteArray prologue = g_mime_multipart_get_prologue(mp);
        if (!prologue.trimmed().isEmpty()) {
            MimeEntity text;
            text.mediaType = QStringLiteral("text");
            text.subType = QStringLiteral("plain");
            text.body = prologue;
            e.children.push_back(std::move(text));
        }
    }
}

void readObject(GMimeObject* object, MimeEntity& e, int depth) {
    if (GMimeContentType* ct = g_mime_object_get_content_type(object)) {
        e.mediaType = fromUtf8(g_mime_content_type_get_media_type(ct)).toLower();
        e.subType = fromUtf8(g_mime_content_type_get_media_subtype(ct)).toLower();
        e.charset = fromUtf8(g_mime_content_type_get_parameter(ct, "charset")).trimmed();
    }
    if (e.mediaType.isEmpty()) {
        e.mediaType = QStringLiteral("text");
        e.subType = QStringLiteral("plain");
    }
    e.disposition = fromUtf8(g_mime_object_get_disposition(object)).toLower();
    QString cid = fromUtf8(g_mime_object_get_content_id(object)).trimmed();
    if (cid.startsWith(QLatin1Char('<'))) cid.remove(0, 1);
    if (cid.endsWith(QLatin1Char('>'))) cid.chop(1);
    e.contentId = cid;
    readHeaders(object, e);
    if (depth > MimeParser::MaxDepth) {
        e.problems << QStringLiteral("The parts are nested too deeply; the deepest were not read.");
        return;
    }
    if (GMIME_IS_MULTIPART(object)) {
        readMultipart(GMIME_MULTIPART(object), e, depth);
    } else if (GMIME_IS_MESSAGE_PART(object)) {
        GMimeMessage* msg = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
        GMimeObject* body = msg ? g_mime_message_get_mime_part(msg) : nullptr;
        if (body) {
            e.children.emplace_back();
            MimeEntity& child = e.children.back();
            readObject(body, child, depth + 1);
            // The enclosed message's own headers (Subject, From...) come first.
            MimeEntity outer;
            readHeaders(GMIME_OBJECT(msg), outer);
            child.headers.insert(child.headers.begin(), outer.headers.begin(), outer.headers.end());
        }
    } else if (GMIME_IS_PART(object)) {
        readLeaf(GMIME_PART(object), e);
    }
}

MimeEntity parseStream(const QByteArray& data) {
    initGMime();
    ParseContext ctx;
    OptionsOwner options(&ctx);
    GRef<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(data.constData(), size_t(data.size())));
    GRef<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    g_mime_parser_set_format(parser.get(), GMIME_FORMAT_MESSAGE);
    GRef<GMimeObject> root(g_mime_parser_construct_part(parser.get(), options.p));
    MimeEntity e;
    if (!root.get()) {
        e.mediaType = QStringLiteral("text");
        e.subType = QStringLiteral("plain");
        e.problems << QStringLiteral("The MIME data could not be read.");
        return e;
    }
    readObject(root.get(), e, 0);
    e.problems = ctx.warnings + e.problems;
    return e;
}

QByteArray headerLine(const QByteArray& name, const QByteArray& value) {
    QByteArray v = value;
    v.replace('\r', ' ').replace('\n', ' ');
    return name + ": " + v.trimmed() + "\r\n";
}

}  // namespace

MimeEntity MimeParser::parse(const QByteArray& raw) { return parseStream(raw); }

MimeEntity MimeParser::parseBody(const QByteArray& contentType, const QByteArray& content,
                                 const QByteArray& transferEncoding) {
    QByteArray data = headerLine("Content-Type", contentType.isEmpty() ? "text/plain" : contentType);
    if (!transferEncoding.trimmed().isEmpty()) data += headerLine("Content-Transfer-Encoding", transferEncoding);
    data += "\r\n";
    data += content;
    MimeEntity e = parseStream(data);
    // The synthetic header block is not part of the content's own headers.
    e.headers.clear();
    return e;
}

MimeEntity MimeParser::parseMultipart(const QByteArray& content, const QByteArray& boundary,
                                      const QByteArray& subType) {
    QByteArray b = boundary;
    b.replace('"', "").replace('\\', "");
    return parseBody("multipart/" + (subType.isEmpty() ? QByteArray("mixed") : subType) + "; boundary=\"" + b + "\"",
                     content);
}

QString MimeParser::decodeHeaderText(const QByteArray& raw) {
    initGMime();
    OptionsOwner options(nullptr);
    QByteArray text = raw;
    text.replace('\0', ' ');
    GFree unfolded(g_mime_utils_header_unfold(text.constData()));
    GFree decoded(g_mime_utils_header_decode_text(options.p, unfolded.p));
    return fromUtf8(decoded.p).trimmed();
}

QString MimeParser::headerParameter(const QByteArray& headerValue, const QByteArray& name) {
    initGMime();
    OptionsOwner options(nullptr);
    QByteArray value = headerValue;
    value.replace('\0', ' ');
    const qsizetype semi = value.indexOf(';');
    if (semi < 0) return {};
    GMimeParamList* list = g_mime_param_list_parse(options.p, value.constData() + semi + 1);
    if (!list) return {};
    GRef<GMimeParamList> owner(list);
    GMimeParam* param = g_mime_param_list_get_parameter(list, name.constData());
    return param ? fromUtf8(g_mime_param_get_value(param)) : QString();
}

}  // namespace mime
