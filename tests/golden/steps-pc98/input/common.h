/* 共通ヘッダ */
int common;
