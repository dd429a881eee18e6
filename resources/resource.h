/* Resource ids of TAVIX.
 *
 * Plain #defines only: this header is read by the resource compiler (tavix.rc)
 * and by the program's C++ code, including code that is built without
 * windows.h, so it must not include anything.
 */
#ifndef TAVIX_RESOURCE_H
#define TAVIX_RESOURCE_H

/* ---- Dialogs ----------------------------------------------------------- */
#define IDD_MAIN                101
#define IDD_REGISTER            102
#define IDD_RUNLIST             103
#define IDD_ABOUT               106
#define IDD_OUTPUT              107

/* ---- Menus ------------------------------------------------------------- */
#define IDM_SYSMENU_ADD         104   /* items added to the system menu */
#define IDM_OPTION              105   /* the OPTION popup of button 1046 */

/* ---- Icons ------------------------------------------------------------- */
#define IDI_TAVIX               3

/* ---- Menu commands ------------------------------------------------------ */
#define IDM_ABOUT               40001 /* バージョン情報(&A)... */
#define IDM_USAGE               40004 /* 使い方ファイルを表示(&H) */
#define IDM_SWITCH_FILE         40005 /* パラメータファイル切り替え(&I)... */
#define IDM_SEND_TO             40006 /* 「送る」に登録(&S)... */
#define IDM_OPT_BATCHOUT        40013 /* バッチファイル実行 (BATCHOUT) */
#define IDM_OPT_LASTPAUSE       40014 /* 最後にPAUSE命令出力 (LASTPAUSE) */

/* ---- Controls without an id (labels) ------------------------------------ */
#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

/* ---- Main dialog (IDD_MAIN) --------------------------------------------- */
/* Top row: parameter set names and their commands. */
#define IDC_NAME_LIST           1000  /* drop-down list of set names */
#define IDC_REGISTER            3     /* 登録(&R)... */
#define IDC_DELETE              4     /* 削除 */
#define IDC_NEW                 5     /* 新規 */
#define IDC_OPTION              1046  /* 設定(&P)[..] option button */

/* Paths. */
#define IDC_CURPATH             1038  /* current directory */
#define IDC_CURPATH_BROWSE      1039
#define IDC_EXEPATH             1036  /* program to run */
#define IDC_EXEPATH_BROWSE      1037
#define IDC_HELPPATH            1040  /* help file of the program */
#define IDC_HELPPATH_BROWSE     1041
#define IDC_HELP_OPEN           1042  /* 開く */

/* Bottom row commands. */
#define IDC_RUN                 1043  /* 実行(&X) */
#define IDC_CONFIRM             1045  /* 確認(&O) */
#define IDC_SAVE_BATCH          1047  /* 保存(&A)... */

/* Argument rows 1 to 8. Note the irregular numbering: the switch edits are
 * 1010 and 1012-1018 (1011 is the first space toggle), the space toggles are
 * 1011 and 1019-1025, the file edits 1002-1009, the browse buttons 1028-1035. */
#define IDC_ARG1_SWITCH         1010
#define IDC_ARG2_SWITCH         1012
#define IDC_ARG3_SWITCH         1013
#define IDC_ARG4_SWITCH         1014
#define IDC_ARG5_SWITCH         1015
#define IDC_ARG6_SWITCH         1016
#define IDC_ARG7_SWITCH         1017
#define IDC_ARG8_SWITCH         1018

#define IDC_ARG1_SPACE          1011
#define IDC_ARG2_SPACE          1019
#define IDC_ARG3_SPACE          1020
#define IDC_ARG4_SPACE          1021
#define IDC_ARG5_SPACE          1022
#define IDC_ARG6_SPACE          1023
#define IDC_ARG7_SPACE          1024
#define IDC_ARG8_SPACE          1025

#define IDC_ARG1_FILE           1002
#define IDC_ARG2_FILE           1003
#define IDC_ARG3_FILE           1004
#define IDC_ARG4_FILE           1005
#define IDC_ARG5_FILE           1006
#define IDC_ARG6_FILE           1007
#define IDC_ARG7_FILE           1008
#define IDC_ARG8_FILE           1009

#define IDC_ARG1_BROWSE         1028
#define IDC_ARG2_BROWSE         1029
#define IDC_ARG3_BROWSE         1030
#define IDC_ARG4_BROWSE         1031
#define IDC_ARG5_BROWSE         1032
#define IDC_ARG6_BROWSE         1033
#define IDC_ARG7_BROWSE         1034
#define IDC_ARG8_BROWSE         1035

/* ---- About box (IDD_ABOUT) ---------------------------------------------- */
/* 閉じる is IDOK (1). */
#define IDC_ABOUT_TEXT          1048  /* the about text, read-only */
#define IDC_ABOUT_WEBPAGE       1049  /* WebPage */
#define IDC_ABOUT_MAIL          1050  /* メール */

/* ---- Register dialog (IDD_REGISTER) -------------------------------------- */
/* OK is IDOK (1), ｷｬﾝｾﾙ is IDCANCEL (2). */
#define IDC_REGISTER_NAME       1002  /* the name to register */

/* ---- Run list dialog (IDD_RUNLIST) ------------------------------------- */
/* キャンセル is IDCANCEL (2). */
#define IDC_RUNLIST_START       4     /* 開始(&X), the default button */
#define IDC_RUNLIST_EXIT        5     /* 終了(&Q) */
#define IDC_RUNLIST_PRIORITY    1000  /* process priority */
#define IDC_RUNLIST_SKIP        1048  /* スキップ(&S) */
#define IDC_RUNLIST_LIST        1047  /* the commands; the selection shows the progress */
#define IDC_RUNLIST_STATUS      1049  /* ended, failed and elapsed time, under the list */
#define IDC_RUNLIST_LOG         1050  /* ログ保存(&L)... */
#define IDC_RUNLIST_RERUN       1051  /* 失敗分を再実行(&F) */
#define IDC_RUNLIST_PARALLEL    1052  /* 同時実行数: how many commands run at once */
#define IDC_RUNLIST_OUTPUT      1053  /* 出力: a console of its own, or the output taken in */
#define IDC_RUNLIST_STOP        1054  /* 停止(&T) */
#define IDC_RUNLIST_HALT        1055  /* 失敗で中止(&H) */

/* ---- Output window (IDD_OUTPUT) ----------------------------------------- */
/* 閉じる is IDCANCEL (2). */
#define IDC_OUTPUT_TEXT         1060  /* the output of one command, read-only */

#endif /* TAVIX_RESOURCE_H */
