#pragma once

#include "about/CreditsCtrl.h"
#include "imaging/HyperLink.h"
#include "platform/Dialog.h"

// Index (0 to 3) of the about box's background picture that its picture timer
// loaded last. Starts at 0 with the program and is never reset, so each
// showing goes on from where the previous one stopped.
extern int g_nAboutPicture;
// The credits script of the about box: lines separated by '|'; a line's last
// character selects its kind (tab, carriage return: headings, '^': bitmap).
extern const char* const g_pszCredits;

// The about box: the credits scrolling over one of the four default puzzle
// pictures, which changes every 5 seconds, and an e-mail link.
class CAboutDlg : public CDialog {
    Q_OBJECT
public:
    static constexpr int kPictureTimer = 151;
    static constexpr int kPictureInterval = 5000; // ms
    static constexpr const char* kContactAddress = "zandor-puzzle@example.org";

    explicit CAboutDlg(QWidget* pParentWnd = nullptr);
    ~CAboutDlg() override;

    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    void OnTimer(int nIDEvent) override;

    // The link target: "mailto:" with the contact address and the subject.
    static QString MailTarget();

    CHyperLink m_link;      // takes the place of control 1031
    CCreditsCtrl m_credits; // takes the place of control 1030
    // Always the default picture files, never the ones chosen in the setup.
    const char* const m_pszPictures[4] = {"bitmaps\\pic1.bmp", "bitmaps\\pic2.bmp", "bitmaps\\pic3.bmp",
                                          "bitmaps\\pic4.bmp"};
};
