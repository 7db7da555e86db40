#include <QHash>

#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"

namespace {

const QString CRLF = QStringLiteral("\r\n");

// Messages whose text never changes.
const QHash<QString, QString>& fixedMessages() {
    static const QHash<QString, QString> table = {
        {"1", "目前網路中斷或傳輸品質不佳，請檢查網路連線"},
        {"4", "目前已有新版程式! " + CRLF + CRLF + "您是否要現在進行更新?"},
        {"5", "無法正確啟動更新程式! 您的程式可能損毀以致於缺少必要的組件, 請重新安裝"},
        {"7", "如果您對辨析結果有疑惑，[問題回饋] 是供您回饋您的問題，目前您並沒有執行辨析動作！"},
        {"8", "請檢查您輸入的e-mail是否正確！"},
        {"9", "請您輸入要反應的說明內容！"},
        {"10", "您的說明已超過200個半字元（相當100個中文字），請儘量縮短，然後再次送出！"},
        {"11", "您的意見已經傳送至伺服器完成了！"},
        {"26", "請輸入帳號"},
        {"261", "請輸入登入名稱"},
        {"27", "密碼必須為1～20碼之間"},
        {"31", "帳號有誤，請檢查！"},
        {"32", "帳號或密碼有誤，請檢查！"},
        {"39", "等待解析引擎的回傳時間過久, 已中斷呼叫, 請再試一次"},
        {"40", "您確定要離開本程式嗎?"},
        {"47", "軟體已有重大的變革, 需重新安裝程式！ " + CRLF + CRLF + "您是否要現在進行下載安裝?"},
        {"50", "同步完成！" + CRLF + CRLF +
                   "已自伺服器端將您的課程進度、所造的句子及犯錯記錄等，同步至本台電腦。"},
        {"51",
         "如果您使用 Lexivo "
         "於超過一台電腦，同步功能可以將先前上傳至伺服器端的使用資料（課程進度、所造的句子及犯錯"
         "記錄等）同步至目前電腦。您要繼續嗎？"},
        {"52",
         "匯入並同步完成！" + CRLF + CRLF +
             "已自伺服器端將您的課程進度、所造的句子及犯錯記錄等，匯入至目前帳號，並同步至本台"
             "電腦。"},
        {"53",
         "如果您有其他帳號，匯入功能可以將該帳號的使用資料（課程進度、所造的句子及犯錯記錄等）彙"
         "整至目前帳號並同步至本台電腦。您要繼續嗎？"},
        {"2801", "確定要重新安裝課程嗎？"},
        {"2976", "請您自行造句，勿直接抄例句！"},
        {"2977", "您的密碼已經設定完成！" + CRLF + "以後登入時即憑本密碼登入，請緊記密碼。"},
        {"2978", "該課程的授權帳號有誤，請您再次確認。"},
        {"2979", "請您載入正確的課程"},
        {"2982", "沒有找到任何已安裝課程。" + CRLF + "請您先下載所購買的課程，並安裝後才可使用。"},
        {"2984", "無法找到伺服器！請檢查是否有誤。"},
        {"2985", "請輸入伺服器"},
        {"29851", "帳號管理伺服器回報您的帳號不屬於任何伺服器所管理" + CRLF +
                      "請您確定所輸入的帳號是正確的。"},
        {"2986", "所選擇的課程已經安裝完成"},
        {"2987", "請您輸入自訂的完成天數"},
        {"2988", "自訂的完成天數必須大於5天"},
        {"2991", "您確定要清空所有的犯錯記錄嗎?"},
        {"2992",
         "您確定要清空學習記錄嗎?" + CRLF + CRLF + "學習進度中的計劃起始日將重新設定為今日"},
        {"2993", "您確定要清空所有的造句記錄嗎?"},
        {"2994", "犯錯記錄已清除"},
        {"2995", "學習記錄已清除，計劃起始日已重新設定為今日"},
        {"2996", "造句記錄已清除"},
        {"2997", "無法找到指定的課程內容。"},
        {"3982", "您輸入的登入名稱或密碼有誤，請您再次確認。"},
        {"3983", "該帳號所授權的課程不為本課程，因此無法匯入！" + CRLF + "請您再次確認。"},
        {"3991", "登入e-mail必需為正確格式，請您再次確認。"},
        {"5001",
         "此功能為當您的引擎進行文法分析時，會發生錯誤訊息，而導致無法正常進行分析時重建引擎使用" +
             CRLF + CRLF + "您確定要進行引擎重建嗎?"},
        {"5002", "引擎已重建完成！"},
        {"5003", "無法找到進行重建所需要的復原組件！" + CRLF + CRLF + "您可能需要重新安裝本程式"},
        {"12001", "抱歉，您所要求的課程尚未獲得授權"},
        {"16001", "無法連線至解析引擎。" + CRLF + "請按 [確定] 再試一次，或按 [取消] 結束程式。"},
    };
    return table;
}

// Messages that splice in the state of the moment.
QString splicedMessage(const QString& id) {
    if (id == "2974") {
        return "[" + gSelCourseName + "]的資料庫已經有更新！" + CRLF +
               "必需要重新更新後才能繼續使用，請您跟隨以下程序，選擇您目前要開啟的課程。";
    }
    if (id == "29871") {
        return "如此會將目前學習進度延長至【" + gMsgParam + "】" + CRLF + CRLF +
               "您確定要執行延長進度計劃嗎?";
    }
    if (id == "2989") {
        return "已將學習進度變更為《" + gScheduleType + " ( " + QString::number(gScheduleDays) +
               " 日完成)" + "》";
    }
    if (id == "2990") {
        return "變更學習進度後，" + CRLF + "預計所有習題應於【" +
               GetDateString(gScheduleEndPreview, "/") + "】完成所有題目。" + CRLF +
               "是否確認要變更學習進度?";
    }
    return QString();
}

const QHash<QString, QString>& pleaseWaitTexts() {
    static const QHash<QString, QString> table = {
        {"3000", "正在分析資料中, 請稍候...."},
        {"3001", "正在檢查與建立必要組件資料中...."},
        {"3004", "正在進行資料同步處理中....請稍候"},
        {"3005", "正在進行資料匯入、同步處理中....請稍候"},
        {"4000", "正在安裝課程中, 請稍候...."},
        {"5000", "正在取得與設定進度資料中, 請稍候...."},
        {"5001", "正在檢查與重新建立引擎中...."},
        {"10001", "正在與伺服器取得連線資訊中, 請稍候...."},
    };
    return table;
}

}  // namespace

QString MessageText(const QString& id) {
    const auto fixed = fixedMessages().constFind(id);
    return fixed != fixedMessages().constEnd() ? *fixed : splicedMessage(id);
}

QString PleaseWaitText(const QString& id) {
    return pleaseWaitTexts().value(id);
}

QString MessageCaption(const QString& captionId) {
    static const QHash<QString, QString> captions = {
        {"0", "訊息"},     {"1", "訊息"},     {"2", "詢問"},
        {"3", "軟體更新"}, {"4", "同步資料"}, {"5", "匯入其他帳號資料"},
    };
    return captions.value(captionId);
}

QString WithLeadingLineBreak(const QString& text) {
    constexpr int kShortText = 30;
    return text.length() < kShortText ? CRLF + text : text;
}
