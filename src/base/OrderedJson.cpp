#include "base/OrderedJson.h"

#include <QJsonDocument>
#include <QJsonObject>

QByteArray OrderedJson::encode(const QJsonValue& value)
{
    if (value.isArray())
        return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    if (value.isObject())
        return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    // A document holds an array or an object: a lone value goes through a
    // one-element array, whose brackets are then dropped.
    const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return wrapped.mid(1, wrapped.size() - 2);
}

OrderedJson& OrderedJson::addEncoded(const QString& key, const QByteArray& value)
{
    if (!m_members.isEmpty())
        m_members += ',';
    m_members += encode(QJsonValue(key));
    m_members += ':';
    m_members += value;
    return *this;
}

OrderedJson& OrderedJson::add(const QString& key, const QJsonValue& value) { return addEncoded(key, encode(value)); }

OrderedJson& OrderedJson::add(const QString& key, const OrderedJson& object) { return addEncoded(key, object.toJson()); }

OrderedJson& OrderedJson::add(const QString& key, const QList<OrderedJson>& objects)
{
    QByteArray array = "[";
    for (qsizetype i = 0; i < objects.size(); ++i) {
        if (i > 0)
            array += ',';
        array += objects[i].toJson();
    }
    array += ']';
    return addEncoded(key, array);
}

OrderedJson& OrderedJson::append(const OrderedJson& other)
{
    if (other.m_members.isEmpty())
        return *this;
    if (!m_members.isEmpty())
        m_members += ',';
    m_members += other.m_members;
    return *this;
}

QByteArray OrderedJson::toJson() const { return '{' + m_members + '}'; }
