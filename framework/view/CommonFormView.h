// The base of every page of the page area: it loads the page's texts, answers the page
// controller's questions (changes, read, write, save), reaches the data blocks of the plug-in
// data manager, and runs one printer exchange at a time through its exchange helper.
#pragma once
#include <cstdint>
#include <string>
#include "framework/lang/LangResTable.h"
#include "framework/view/CommTimings.h"
#include "framework/view/EngineCommCtrl.h"
#include "platform/FormView.h"

struct UtilContext;
class IPluginDataMgr;

namespace qk {

class CFormViewCtrl;

class CCommonFormView : public CFormView {
public:
    // templateId: the page's dialog template, also its control identifier; screen: the
    // language screen of its texts. The template comes from the module carrying this code.
    CCommonFormView(UINT templateId, std::u16string screen);
    ~CCommonFormView() override;

    // Questions of the page controller; 1 is success where an answer is a result.
    virtual int32_t IsModified();
    virtual int32_t WriteSettings();
    virtual int32_t SaveToFile();
    virtual void OnActivatePage();
    virtual int32_t ReadSettings();
    // 1 filled, 0 for a null pointer.
    virtual int32_t GetCommTimings(CommTimings* timings);
    // Data blocks of the data manager in the context (-2 without one).
    virtual int32_t WriteDataBlock(uint32_t key, void* data, uint32_t size);
    virtual int32_t WriteOwnDataBlock(void* data, uint32_t size);
    virtual int32_t ReadDataBlock(uint32_t key, void* buffer, uint32_t length);
    virtual int32_t ReadOwnDataBlock(void* buffer, uint32_t length);
    // Asks the main frame to close (posted), when there is a controller with an owner window.
    virtual void CloseApplication();

    // Loads the page's texts (the first time the page is shown) and settles where the
    // application texts come from: the language of this moment, read at their first use.
    void OnInitialUpdate() override;
    // Chooses the language file and loads the page's screen; warns and falls back to English,
    // or warns and closes the application. Answers LoadLangFile's result.
    int32_t LoadPageTexts();

    void SetController(CFormViewCtrl* controller) { m_pCtrl = controller; } // not owned
    CFormViewCtrl* Controller() const { return m_pCtrl; }
    void SetEngineHandle(EngineHandle handle) { m_commCtrl.SetEngineHandle(handle); }
    CEngineCommCtrl& CommCtrl() { return m_commCtrl; }
    const CLangResTable& PageTexts() const { return m_pageTexts; }
    const CLangResTable& AppTexts() const;
    const std::u16string& ScreenName() const { return m_screen; }
    bool ShowedEnglishNotice() const { return m_bEnglishNotice != 0; }

protected:
    void OnSize(UINT type, int cx, int cy) override;
    UtilContext* Context() const;
    IPluginDataMgr* DataManager() const;

private:
    CEngineCommCtrl m_commCtrl;
    CLangResTable m_pageTexts;
    CFormViewCtrl* m_pCtrl = nullptr; // not owned
    mutable CLangResTable m_appTexts; // screen "QK_UTILITY_APP"
    // Where the application texts are to be read from (set at the initial update).
    std::u16string m_appTextsFolder;
    int32_t m_appTextsLanguage = 0;
    mutable bool m_appTextsDue = false;
    int32_t m_bEnglishNotice = 0;
    std::u16string m_screen;
};

} // namespace qk
