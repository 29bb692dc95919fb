#include "BlowfishFileCipher.h"
#include "CGlobalConfig.h"
#include "TestEnvironment.h"

namespace {
QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

QByteArray counterBlock(quint64 counter)
{
    QByteArray block(8, '\0');
    for (int i = 0; i < 8; ++i)
        block[i] = char((counter >> (8 * i)) & 0xff);
    return block;
}
} // namespace

class tst_BlowfishFileCipher : public QObject
{
    Q_OBJECT
private slots:
    void publishedVectors_data();
    void publishedVectors();
    void variableKeyLengths_data();
    void variableKeyLengths();
    void keystreamLayout();
    void roundTrip();
    void keyPaddingAndTruncation();
};

void tst_BlowfishFileCipher::publishedVectors_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("cipher");
    QTest::newRow("zeros") << hex("0000000000000000") << hex("0000000000000000") << hex("4EF997456198DD78");
    QTest::newRow("ones") << hex("FFFFFFFFFFFFFFFF") << hex("FFFFFFFFFFFFFFFF") << hex("51866FD5B85ECB8A");
    QTest::newRow("3000") << hex("3000000000000000") << hex("1000000000000001") << hex("7D856F9A613063F2");
    QTest::newRow("1111") << hex("1111111111111111") << hex("1111111111111111") << hex("2466DD878B963C9D");
    QTest::newRow("0123") << hex("0123456789ABCDEF") << hex("1111111111111111") << hex("61F9C3802281B096");
    QTest::newRow("1111b") << hex("1111111111111111") << hex("0123456789ABCDEF") << hex("7D0CC630AFDA1EC7");
    QTest::newRow("FEDC") << hex("FEDCBA9876543210") << hex("0123456789ABCDEF") << hex("0ACEAB0FC6A0A28D");
    QTest::newRow("7CA1") << hex("7CA110454A1A6E57") << hex("01A1D6D039776742") << hex("59C68245EB05282B");
    QTest::newRow("0131") << hex("0131D9619DC1376E") << hex("5CD54CA83DEF57DA") << hex("B1B8CC0B250F09A0");
}

void tst_BlowfishFileCipher::publishedVectors()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, cipher);
    QCOMPARE(BlowfishFileCipher(key).encryptBlock(plain).toHex(), cipher.toHex());
}

void tst_BlowfishFileCipher::variableKeyLengths_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("cipher");
    QTest::newRow("8") << 8 << hex("E87A244E2CC85E82");
    QTest::newRow("16") << 16 << hex("93142887EE3BE15C");
    QTest::newRow("24") << 24 << hex("05044B62FA52D080");
}

void tst_BlowfishFileCipher::variableKeyLengths()
{
    QFETCH(int, length);
    QFETCH(QByteArray, cipher);
    const QByteArray key = hex("F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677").left(length);
    QCOMPARE(BlowfishFileCipher(key).encryptBlock(hex("FEDCBA9876543210")).toHex(), cipher.toHex());
}

// Byte j is XORed with byte j mod 8 of the block for counter j div 8, written
// little-endian.
void tst_BlowfishFileCipher::keystreamLayout()
{
    BlowfishFileCipher cipher(g_config.getCipherKey());
    const QByteArray block0 = cipher.encryptBlock(counterBlock(0));
    const QByteArray block1 = cipher.encryptBlock(counterBlock(1));
    QCOMPARE(cipher.encrypt(QByteArray(9, '\0')).toHex(), (block0 + block1.left(1)).toHex());

    QByteArray data(20000, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(i * 7);
    const QByteArray out = cipher.encrypt(data);
    QCOMPARE(out.size(), data.size());
    const quint64 far = 300; // the counter passes 255, so its second byte is used too
    const QByteArray farBlock = cipher.encryptBlock(counterBlock(far));
    for (int j = 0; j < 8; ++j)
        QCOMPARE(char(out.at(int(far) * 8 + j) ^ data.at(int(far) * 8 + j)), farBlock.at(j));
}

void tst_BlowfishFileCipher::roundTrip()
{
    const QByteArray text = QString::fromUtf8("<svg xmlns=\"http://www.w3.org/2000/svg\">\xe4\xb8\xad</svg>").toUtf8();
    BlowfishFileCipher writer(g_config.getCipherKey());
    const QByteArray stored = writer.encrypt(text);
    QVERIFY(stored != text);
    // Every call starts again at block 0, so one object serves several files.
    QCOMPARE(writer.encrypt(text), stored);
    BlowfishFileCipher reader(g_config.getCipherKey());
    QCOMPARE(reader.decrypt(stored), text);
    QCOMPARE(reader.encrypt(reader.encrypt(text)), text);
    QVERIFY(BlowfishFileCipher("another key").decrypt(stored) != text);
    QVERIFY(reader.encrypt(QByteArray()).isEmpty() && reader.decrypt(QByteArray()).isEmpty());
    for (int size : { 0, 7, 9 })
        QVERIFY(reader.encryptBlock(QByteArray(size, 'a')).isEmpty());
}

void tst_BlowfishFileCipher::keyPaddingAndTruncation()
{
    const QByteArray sample = "a sample of twenty-four bytes";
    auto same = [&](const QByteArray& a, const QByteArray& b) {
        return BlowfishFileCipher(a).encrypt(sample) == BlowfishFileCipher(b).encrypt(sample);
    };
    QVERIFY(same("abc", QByteArray("abc") + QByteArray(5, '\0')));
    QVERIFY(same(QByteArray(), QByteArray(8, '\0')));
    QByteArray longKey;
    for (int i = 0; i < 57; ++i)
        longKey.append(char('A' + i % 26));
    QVERIFY(same(longKey, longKey.left(56)));
    QVERIFY(!same(longKey.left(56), longKey.left(55)));
    QVERIFY(!same("abc", "abd"));
}

ZOCUT_TEST_MAIN(tst_BlowfishFileCipher)
#include "tst_BlowfishFileCipher.moc"
