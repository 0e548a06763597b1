#pragma once
// The texts the client shows, written out here as users read them: a test compares with
// these, not with the program's own constants, so a slip in a constant fails.
#include <QString>

namespace texts {

inline const QString kButton3Last = QStringLiteral("Оценка");
inline const QString kButton3Next = QStringLiteral("Следующий вопрос");
inline const QString kConnectedText = QStringLiteral("Вы присоединились к протокольному серверу!");
inline const QString kCountCaption = QStringLiteral("число вопросов");
inline const QString kCountEmpty = QStringLiteral("пустая строка\rПопробуйте еще раз!!!");
inline const QString kCountNotNumber = QStringLiteral("не число\rПопробуйте еще раз!!!");
inline const QString kCountPrompt =
    QStringLiteral("введите количество вопросов\rдля тестирования без пробелов");
inline const QString kCountZero =
    QStringLiteral("число вопросов не равно 0\rПопробуйте еще раз!!!");
inline const QString kDisconnectedText =
    QStringLiteral("Произошло отключение от протокольного сервера!");
inline const QString kEmptyTest =
    QStringLiteral("В этом тесте нет ни одного вопроса.\rТестирование на оценку невозможно.");
inline const QString kExitText = QStringLiteral("Вы уверены, что хотите выйти?");
inline const QString kGroupUnsafe = QStringLiteral(
    "Класс и группа (курс и группа, должность) не годятся\r"
    "для имени папки результатов!\r"
    "Уберите символы \\ / : * ? \" < > |, две точки подряд,\r"
    "непечатаемые символы, точку или пробел в конце.");
inline const QString kIdentityMissing = QStringLiteral(
    "Прежде, чем начинать тестироваться на оценку,\r\nвведите свою Фамилию Имя (Отчество),\r\n"
    "класс и группу (курс и группу, должность)");
inline const QString kLineFileUnreadable = QStringLiteral("Ошибка при чтении файла line.txt");
inline const QString kLinkErrorText = QStringLiteral("Ошибка соединения c протокольным сервером №");
inline const QString kNameUnsafe = QStringLiteral(
    "Фамилия Имя не годится для имени файла результата!\r"
    "Уберите символы \\ / : * ? \" < > |, две точки подряд\r"
    "и непечатаемые символы.");
inline const QString kSecondCopyText = QStringLiteral(
    "Запуск копии программы Pandrel удобен\rдля жуликов, подсматривающих правильные ответы\r"
    "в обучающем режиме! Программа будет закрыта !!!");
inline const QString kStandardTestQuestion = QStringLiteral(
    "СТАНДАРТНЫЙ тест, 20 вопросов, оценка ставится\rв 20 и 5 бальных системах - [YES]\r"
    "НЕСТАНДАРТНЫЙ тест, N вопросов\rN бальная оценка и 5-ти бальный коэффициент - [NO]");
inline const QString kWrongAnswerText = QStringLiteral(
    "Д О П У Щ Е Н Ы   О Ш И Б К И !!!\rПоказать  правильный  ответ - [YES]\r"
    "Оставить ответ без изменений - [NO]\r");

}  // namespace texts
