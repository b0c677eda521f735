#include "bigramtokenizer.h"

#include <QSqlDriver>
#include <QVariant>
#include <sqlite3.h>

namespace {

// Bytes of the character starting at text (size bytes remain): a valid UTF-8
// sequence, else the one byte.
int characterLength(const unsigned char *text, int size)
{
    const unsigned char lead = text[0];
    const int length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
        : (lead & 0xF8) == 0xF0 ? 4 : 1;
    if (length > size)
        return 1;
    for (int i = 1; i < length; ++i) {
        if ((text[i] & 0xC0) != 0x80)
            return 1;
    }
    return length;
}

struct Character
{
    int start = 0;
    int length = 0;
};

// Appends the character, ASCII letters in lower case.
void appendFolded(char *token, int &size, const char *text, const Character &c)
{
    for (int i = 0; i < c.length; ++i) {
        const char byte = text[c.start + i];
        token[size++] = byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
    }
}

// Calls take(token, size, start, end) for every token of text, in order;
// stops at the first result other than SQLITE_OK and returns it.
template <typename Take>
int forEachToken(const char *text, int size, BigramTokenizer::Purpose purpose, Take take)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(text);
    Character previous;
    bool havePrevious = false;
    int count = 0;
    for (int at = 0; at < size;) {
        const Character current{at, characterLength(bytes + at, size - at)};
        at += current.length;
        ++count;
        if (havePrevious) {
            char pair[8];
            int pairSize = 0;
            appendFolded(pair, pairSize, text, previous);
            appendFolded(pair, pairSize, text, current);
            const int rc = take(pair, pairSize, previous.start, current.start + current.length);
            if (rc != SQLITE_OK)
                return rc;
        }
        previous = current;
        havePrevious = true;
    }
    if (!havePrevious || (purpose == BigramTokenizer::Purpose::Query && count > 1))
        return SQLITE_OK;
    char single[4];
    int singleSize = 0;
    appendFolded(single, singleSize, text, previous);
    return take(single, singleSize, previous.start, previous.start + previous.length);
}

// The FTS5 side: the tokenizer keeps no state, so every table shares one.
int createTokenizer(void *, const char **, int, Fts5Tokenizer **tokenizer)
{
    static int shared;
    *tokenizer = reinterpret_cast<Fts5Tokenizer *>(&shared);
    return SQLITE_OK;
}

void deleteTokenizer(Fts5Tokenizer *) {}

int tokenize(Fts5Tokenizer *, void *context, int flags, const char *text, int size,
             int (*token)(void *, int, const char *, int, int, int))
{
    const auto purpose = (flags & FTS5_TOKENIZE_QUERY) ? BigramTokenizer::Purpose::Query
                                                       : BigramTokenizer::Purpose::Document;
    return forEachToken(text, size, purpose, [&](const char *bytes, int length, int start, int end) {
        return token(context, 0, bytes, length, start, end);
    });
}

fts5_api *fts5Of(sqlite3 *handle)
{
    fts5_api *api = nullptr;
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(handle, "SELECT fts5(?1)", -1, &statement, nullptr) == SQLITE_OK) {
        sqlite3_bind_pointer(statement, 1, &api, "fts5_api_ptr", nullptr);
        sqlite3_step(statement);
    }
    sqlite3_finalize(statement);
    return api;
}

fts5_tokenizer &calls()
{
    static fts5_tokenizer calls{createTokenizer, deleteTokenizer, tokenize};
    return calls;
}

bool install(sqlite3 *connection)
{
    fts5_api *api = connection ? fts5Of(connection) : nullptr;
    if (!api)
        return false;
    // Registering again would add an entry per call to the connection's list.
    fts5_tokenizer known{};
    void *data = nullptr;
    if (api->xFindTokenizer(api, BigramTokenizer::name(), &data, &known) == SQLITE_OK && known.xTokenize == tokenize)
        return true;
    return api->xCreateTokenizer(api, BigramTokenizer::name(), nullptr, &calls(), nullptr) == SQLITE_OK;
}

// Called by SQLite as each connection opens; a connection without FTS5 opens
// all the same.
int installWhenOpened(sqlite3 *connection, const char **, const sqlite3_api_routines *)
{
    install(connection);
    return SQLITE_OK;
}

} // namespace

const char *BigramTokenizer::name()
{
    return "tessera_bigram";
}

QVector<QByteArray> BigramTokenizer::tokens(const QByteArray &utf8, Purpose purpose)
{
    QVector<QByteArray> found;
    forEachToken(utf8.constData(), utf8.size(), purpose, [&found](const char *bytes, int length, int, int) {
        found << QByteArray(bytes, length);
        return SQLITE_OK;
    });
    return found;
}

bool BigramTokenizer::installOn(QSqlDatabase db)
{
    if (!db.isOpen() || !db.driver())
        return false;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return false;
    return install(*static_cast<sqlite3 *const *>(handle.data()));
}

void BigramTokenizer::installOnEveryConnection()
{
    // SQLite keeps one entry per entry point however often it is given.
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(installWhenOpened));
}
