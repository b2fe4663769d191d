#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonValue>
#include <QList>
#include <QString>

// A JSON object whose members keep the order they were added in, for output
// that other tools read by eye or compare line by line (QJsonObject sorts its
// keys). Every key and value is encoded by QJsonDocument; only the braces,
// colons and commas between the members are written here.
class OrderedJson
{
public:
    OrderedJson& add(const QString& key, const QJsonValue& value);
    OrderedJson& add(const QString& key, const OrderedJson& object);
    // An array of objects, each keeping its own order.
    OrderedJson& add(const QString& key, const QList<OrderedJson>& objects);
    // The members of `other` after these.
    OrderedJson& append(const OrderedJson& other);

    // Compact: one line, no spaces.
    QByteArray toJson() const;

    // A value as compact JSON.
    static QByteArray encode(const QJsonValue& value);

private:
    OrderedJson& addEncoded(const QString& key, const QByteArray& value);

    QByteArray m_members; // "key":value,… without braces
};
