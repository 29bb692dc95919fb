#include "QAESEncryption.h"
#include "TestEnvironment.h"
#include "Tools.h"

namespace {
QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

const char* const kPlain = "6bc1bee22e409f96e93d7e117393172a ae2d8a571e03ac9c9eb76fac45af8e51"
                           "30c81c46a35ce411e5fbc1191a0a52ef f69f2445df4f9b17ad2b417be66c3710";
const char* const kIv = "000102030405060708090a0b0c0d0e0f";
} // namespace

class tst_QAESEncryption : public QObject
{
    Q_OBJECT
private slots:
    void fipsBlock_data();
    void fipsBlock();
    void keyExpansion_data();
    void keyExpansion();
    void modeVectors_data();
    void modeVectors();
    void paddings_data();
    void paddings();
    void removePadding_data();
    void removePadding();
    void refusedArguments();
    void tools();
};

void tst_QAESEncryption::fipsBlock_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("cipher");
    QTest::newRow("128") << int(QAESEncryption::AES_128) << hex("000102030405060708090a0b0c0d0e0f")
                         << hex("69c4e0d86a7b0430d8cdb78070b4c55a");
    QTest::newRow("192") << int(QAESEncryption::AES_192) << hex("000102030405060708090a0b0c0d0e0f1011121314151617")
                         << hex("dda97ca4864cdfe06eaf70a0ec0d7191");
    QTest::newRow("256") << int(QAESEncryption::AES_256)
                         << hex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f")
                         << hex("8ea2b7ca516745bfeafc49904b496089");
}

void tst_QAESEncryption::fipsBlock()
{
    QFETCH(int, level);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, cipher);
    const QByteArray plain = hex("00112233445566778899aabbccddeeff");
    QAESEncryption aes(QAESEncryption::Aes(level), QAESEncryption::ECB, QAESEncryption::ZERO);
    QCOMPARE(aes.encode(plain, key).toHex(), cipher.toHex());
    QCOMPARE(aes.decode(cipher, key).toHex(), plain.toHex());
}

void tst_QAESEncryption::keyExpansion_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("size");
    QTest::addColumn<QByteArray>("lastWord");
    QTest::newRow("128") << int(QAESEncryption::AES_128) << hex("2b7e151628aed2a6abf7158809cf4f3c") << 176
                         << hex("b6630ca6");
    QTest::newRow("192") << int(QAESEncryption::AES_192) << hex("8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b")
                         << 208 << hex("01002202");
    QTest::newRow("256") << int(QAESEncryption::AES_256)
                         << hex("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4") << 240
                         << hex("706c631e");
}

void tst_QAESEncryption::keyExpansion()
{
    QFETCH(int, level);
    QFETCH(QByteArray, key);
    QFETCH(int, size);
    QFETCH(QByteArray, lastWord);
    QAESEncryption aes(QAESEncryption::Aes(level), QAESEncryption::ECB);
    const QByteArray expanded = aes.expandKey(key);
    QCOMPARE(expanded.size(), size);
    QCOMPARE(expanded.left(key.size()), key);
    QCOMPARE(expanded.right(4).toHex(), lastWord.toHex());
    if (level == QAESEncryption::AES_128) {
        QCOMPARE(expanded.mid(16, 4).toHex(), QByteArray("a0fafe17"));
        QCOMPARE(expanded.right(16).toHex(), QByteArray("d014f9a8c9ee2589e13f0cc8b6630ca6"));
    }
    QVERIFY(aes.expandKey(key.left(key.size() - 1)).isEmpty());
}

void tst_QAESEncryption::modeVectors_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("cipher");
    const QByteArray k128 = hex("2b7e151628aed2a6abf7158809cf4f3c");
    const QByteArray k192 = hex("8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b");
    const QByteArray k256 = hex("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4");
    using A = QAESEncryption;
    QTest::newRow("ECB-128") << int(A::AES_128) << int(A::ECB) << k128
                             << hex("3ad77bb40d7a3660a89ecaf32466ef97 f5d3d58503b9699de785895a96fdbaaf"
                                    "43b1cd7f598ece23881b00e3ed030688 7b0c785e27e8ad3f8223207104725dd4");
    QTest::newRow("CBC-128") << int(A::AES_128) << int(A::CBC) << k128
                             << hex("7649abac8119b246cee98e9b12e9197d 5086cb9b507219ee95db113a917678b2"
                                    "73bed6b8e3c1743b7116e69e22229516 3ff1caa1681fac09120eca307586e1a7");
    QTest::newRow("CFB-128") << int(A::AES_128) << int(A::CFB) << k128
                             << hex("3b3fd92eb72dad20333449f8e83cfb4a c8a64537a0b3a93fcde3cdad9f1ce58b"
                                    "26751f67a3cbb140b1808cf187a4f4df c04b05357c5d1c0eeac4c66f9ff7f2e6");
    QTest::newRow("OFB-128") << int(A::AES_128) << int(A::OFB) << k128
                             << hex("3b3fd92eb72dad20333449f8e83cfb4a 7789508d16918f03f53c52dac54ed825"
                                    "9740051e9c5fecf64344f7a82260edcc 304c6528f659c77866a510d9c1d6ae5e");
    QTest::newRow("ECB-192") << int(A::AES_192) << int(A::ECB) << k192
                             << hex("bd334f1d6e45f25ff712a214571fa5cc 974104846d0ad3ad7734ecb3ecee4eef"
                                    "ef7afd2270e2e60adce0ba2face6444e 9a4b41ba738d6c72fb16691603c18e0e");
    QTest::newRow("CBC-192") << int(A::AES_192) << int(A::CBC) << k192
                             << hex("4f021db243bc633d7178183a9fa071e8 b4d9ada9ad7dedf4e5e738763f69145a"
                                    "571b242012fb7ae07fa9baac3df102e0 08b0e27988598881d920a9e64f5615cd");
    QTest::newRow("CFB-192") << int(A::AES_192) << int(A::CFB) << k192
                             << hex("cdc80d6fddf18cab34c25909c99a4174 67ce7f7f81173621961a2b70171d3d7a"
                                    "2e1e8a1dd59b88b1c8e60fed1efac4c9 c05f9f9ca9834fa042ae8fba584b09ff");
    QTest::newRow("OFB-192") << int(A::AES_192) << int(A::OFB) << k192
                             << hex("cdc80d6fddf18cab34c25909c99a4174 fcc28b8d4c63837c09e81700c1100401"
                                    "8d9a9aeac0f6596f559c6d4daf59a5f2 6d9f200857ca6c3e9cac524bd9acc92a");
    QTest::newRow("ECB-256") << int(A::AES_256) << int(A::ECB) << k256
                             << hex("f3eed1bdb5d2a03c064b5a7e3db181f8 591ccb10d410ed26dc5ba74a31362870"
                                    "b6ed21b99ca6f4f9f153e7b1beafed1d 23304b7a39f9f3ff067d8d8f9e24ecc7");
    QTest::newRow("CBC-256") << int(A::AES_256) << int(A::CBC) << k256
                             << hex("f58c4c04d6e5f1ba779eabfb5f7bfbd6 9cfc4e967edb808d679f777bc6702c7d"
                                    "39f23369a9d9bacfa530e26304231461 b2eb05e2c39be9fcda6c19078c6a9d1b");
    QTest::newRow("CFB-256") << int(A::AES_256) << int(A::CFB) << k256
                             << hex("dc7e84bfda79164b7ecd8486985d3860 39ffed143b28b1c832113c6331e5407b"
                                    "df10132415e54b92a13ed0a8267ae2f9 75a385741ab9cef82031623d55b1e471");
    QTest::newRow("OFB-256") << int(A::AES_256) << int(A::OFB) << k256
                             << hex("dc7e84bfda79164b7ecd8486985d3860 4febdc6740d20b3ac88f6ad82a4fb08d"
                                    "71ab47a086e86eedf39d1c5bba97c408 0126141d67f37be8538f5a8be740e484");
}

// The SP 800-38A texts are whole blocks, so ZERO and ISO padding add nothing.
void tst_QAESEncryption::modeVectors()
{
    QFETCH(int, level);
    QFETCH(int, mode);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, cipher);
    for (auto padding : { QAESEncryption::ZERO, QAESEncryption::ISO }) {
        QAESEncryption aes(QAESEncryption::Aes(level), QAESEncryption::Mode(mode), padding);
        QCOMPARE(aes.encode(hex(kPlain), key, hex(kIv)).toHex(), cipher.toHex());
        QCOMPARE(aes.decode(cipher, key, hex(kIv)).toHex(), hex(kPlain).toHex());
    }
}

void tst_QAESEncryption::paddings_data()
{
    QTest::addColumn<int>("padding");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("padded");
    using A = QAESEncryption;
    QTest::newRow("zero-5") << int(A::ZERO) << QByteArray("abcde") << QByteArray("abcde") + QByteArray(11, 0);
    QTest::newRow("zero-16") << int(A::ZERO) << QByteArray(16, 'a') << QByteArray(16, 'a');
    QTest::newRow("zero-empty") << int(A::ZERO) << QByteArray() << QByteArray();
    QTest::newRow("pkcs7-5") << int(A::PKCS7) << QByteArray("abcde") << QByteArray("abcde") + QByteArray(11, 11);
    QTest::newRow("pkcs7-15") << int(A::PKCS7) << QByteArray(15, 'a') << QByteArray(15, 'a') + QByteArray(1, 1);
    QTest::newRow("pkcs7-16") << int(A::PKCS7) << QByteArray(16, 'a') << QByteArray(16, 'a') + QByteArray(16, 16);
    QTest::newRow("pkcs7-empty") << int(A::PKCS7) << QByteArray() << QByteArray(16, 16);
    QTest::newRow("iso-5") << int(A::ISO) << QByteArray("abcde")
                           << QByteArray("abcde") + QByteArray(1, '\x80') + QByteArray(10, 0);
    QTest::newRow("iso-15") << int(A::ISO) << QByteArray(15, 'a') << QByteArray(15, 'a') + QByteArray(1, '\x80');
    QTest::newRow("iso-16") << int(A::ISO) << QByteArray(16, 'a') << QByteArray(16, 'a');
}

// Enciphering pads as expected: deciphering gives the padded text back, and
// removing the padding gives the original.
void tst_QAESEncryption::paddings()
{
    QFETCH(int, padding);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, padded);
    const QByteArray key = hex("2b7e151628aed2a6abf7158809cf4f3c");
    for (auto mode : { QAESEncryption::ECB, QAESEncryption::CBC, QAESEncryption::CFB, QAESEncryption::OFB }) {
        QAESEncryption aes(QAESEncryption::AES_128, mode, QAESEncryption::Padding(padding));
        const QByteArray cipher = aes.encode(plain, key, hex(kIv));
        QCOMPARE(cipher.size(), padded.size());
        const QByteArray back = aes.decode(cipher, key, hex(kIv));
        QCOMPARE(back.toHex(), padded.toHex());
        if (padding != QAESEncryption::ZERO || !plain.endsWith('\0'))
            QCOMPARE(QAESEncryption::removePadding(back, QAESEncryption::Padding(padding)), plain);
    }
}

void tst_QAESEncryption::removePadding_data()
{
    QTest::addColumn<int>("padding");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    using A = QAESEncryption;
    QTest::newRow("empty") << int(A::PKCS7) << QByteArray() << QByteArray();
    QTest::newRow("zero all") << int(A::ZERO) << QByteArray(16, 0) << QByteArray();
    QTest::newRow("pkcs7 larger than text") << int(A::PKCS7) << QByteArray("ab\x05") << QByteArray("ab\x05");
    QTest::newRow("pkcs7 negative") << int(A::PKCS7) << QByteArray("ab\xf0") << QByteArray("ab\xf0");
    QTest::newRow("pkcs7 zero") << int(A::PKCS7) << QByteArray("ab") + QByteArray(1, 0)
                                << QByteArray("ab") + QByteArray(1, 0);
    QTest::newRow("pkcs7 unchecked") << int(A::PKCS7) << QByteArray("abcxyz\x02") << QByteArray("abcxy");
    QTest::newRow("iso not 0x80") << int(A::ISO) << QByteArray("ab\x7f") + QByteArray(3, 0)
                                  << QByteArray("ab\x7f") + QByteArray(3, 0);
    QTest::newRow("iso all zero") << int(A::ISO) << QByteArray(4, 0) << QByteArray(4, 0);
    QTest::newRow("iso cut") << int(A::ISO) << QByteArray("a\x80z\x80") + QByteArray(2, 0) << QByteArray("a\x80z");
}

void tst_QAESEncryption::removePadding()
{
    QFETCH(int, padding);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(QAESEncryption::removePadding(text, QAESEncryption::Padding(padding)).toHex(), expected.toHex());
}

void tst_QAESEncryption::refusedArguments()
{
    const QByteArray key16(16, 'k');
    QAESEncryption cbc(QAESEncryption::AES_128, QAESEncryption::CBC, QAESEncryption::PKCS7);
    QVERIFY(cbc.encode("text", key16, QByteArray()).isEmpty());
    QVERIFY(cbc.encode("text", key16, QByteArray(15, 0)).isEmpty());
    QVERIFY(cbc.decode(QByteArray(16, 0), key16, QByteArray(17, 0)).isEmpty());
    QVERIFY(!cbc.encode("text", key16, QByteArray(16, 0)).isEmpty());

    QAESEncryption ecb(QAESEncryption::AES_128, QAESEncryption::ECB, QAESEncryption::PKCS7);
    QCOMPARE(ecb.encode("text", key16, "ignored"), ecb.encode("text", key16));
    QVERIFY(ecb.decode(QByteArray(17, 0), key16).isEmpty());
    QVERIFY(ecb.encode("text", QByteArray(15, 'k')).isEmpty());

    QAESEncryption aes256(QAESEncryption::AES_256, QAESEncryption::ECB, QAESEncryption::PKCS7);
    QVERIFY(aes256.encode("text", key16).isEmpty());
    QVERIFY(aes256.decode(QByteArray(16, 0), key16).isEmpty());

    // An unknown level acts as AES-128.
    QAESEncryption odd(QAESEncryption::Aes(7), QAESEncryption::ECB, QAESEncryption::PKCS7);
    QCOMPARE(odd.encode("text", key16), ecb.encode("text", key16));
}

// The pages' field cipher: AES-128, ECB, PKCS#7 with the fixed key, as Base64.
void tst_QAESEncryption::tools()
{
    Tools tools;
    const QString text = QString::fromUtf8("BMW X5 2019 \xe5\x89\x8d\xe4\xbf\x9d\xe9\x99\xa9\xe6\x9d\xa0");
    const QString cipher = tools.myencrypt(text.toUtf8());
    QAESEncryption aes(QAESEncryption::AES_128, QAESEncryption::ECB, QAESEncryption::PKCS7);
    QCOMPARE(cipher.toLatin1(), aes.encode(text.toUtf8(), "7c3e91d04b6fa258").toBase64());
    QCOMPARE(tools.mydecrypt(cipher.toLatin1()), text);
    // Characters outside the Base64 alphabet are skipped.
    QCOMPARE(tools.mydecrypt(cipher.toLatin1() + "\n"), text);
    QCOMPARE(tools.myencrypt(QByteArray()).size(), 24);
    QCOMPARE(tools.mydecrypt(QByteArray()), QString());
    QCOMPARE(tools.mydecrypt(QByteArray(10, 'x').toBase64()), QString());
    // Callable from QML under these names.
    QVERIFY(tools.metaObject()->indexOfMethod("mydecrypt(QByteArray)") >= 0);
    QVERIFY(tools.metaObject()->indexOfMethod("myencrypt(QByteArray)") >= 0);
}

ZOCUT_TEST_MAIN(tst_QAESEncryption)
#include "tst_QAESEncryption.moc"
