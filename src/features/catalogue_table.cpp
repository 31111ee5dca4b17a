// The built-in feature catalogue: 251 features and their option lists.
//
// Generated mechanically from the catalogue description by a transcription script
// (numbered runs expanded, two-state rows spelt out); review changes as data.
#include "features/catalogue_defs.h"

namespace nvx::features::defs {

// keyword, value, built-in display name (ASCII) or null, payload extra, implied row or -1
const OptionDef kOptions[] = {
    {"Portrait", 1, nullptr, 0, -1},  // 0
    {"Landscape", 2, nullptr, 0, -1},  // 1
    {"ZoomAuto", 1, nullptr, 0, -1},  // 2
    {"ZoomManual", 0, nullptr, 0, -1},  // 3
    {"JobNameAuto", 0, nullptr, 0, -1},  // 4
    {"JobNameCustom", 1, nullptr, 0, -1},  // 5
    {"Server01", 1, nullptr, 0, -1},  // 6
    {"Server02", 2, nullptr, 0, -1},  // 7
    {"Server03", 3, nullptr, 0, -1},  // 8
    {"Server04", 4, nullptr, 0, -1},  // 9
    {"Server05", 5, nullptr, 0, -1},  // 10
    {"Server06", 6, nullptr, 0, -1},  // 11
    {"Server07", 7, nullptr, 0, -1},  // 12
    {"Server08", 8, nullptr, 0, -1},  // 13
    {"Server09", 9, nullptr, 0, -1},  // 14
    {"Server10", 10, nullptr, 0, -1},  // 15
    {"Server11", 11, nullptr, 0, -1},  // 16
    {"Server12", 12, nullptr, 0, -1},  // 17
    {"Server13", 13, nullptr, 0, -1},  // 18
    {"Server14", 14, nullptr, 0, -1},  // 19
    {"Server15", 15, nullptr, 0, -1},  // 20
    {"Server16", 16, nullptr, 0, -1},  // 21
    {"Server17", 17, nullptr, 0, -1},  // 22
    {"Server18", 18, nullptr, 0, -1},  // 23
    {"Server19", 19, nullptr, 0, -1},  // 24
    {"Server20", 20, nullptr, 0, -1},  // 25
    {"Server101", 21, nullptr, 0, -1},  // 26
    {"2up", 1, "2up", 64866, -1},  // 27
    {"4up", 2, "4up", 64867, -1},  // 28
    {"6up", 3, "6up", 64868, -1},  // 29
    {"9up", 4, "9up", 64869, -1},  // 30
    {"16up", 5, "16up", 64870, -1},  // 31
    {"2x2", 7, "2 x 2", 0, -1},  // 32
    {"3x3", 8, "3 x 3", 0, -1},  // 33
    {"4x4", 9, "4 x 4", 0, -1},  // 34
    {"Simplex", 1, nullptr, 0, -1},  // 35
    {"Duplex", 2, nullptr, 0, -1},  // 36
    {"Booklet", 3, nullptr, 0, -1},  // 37
    {"Booklet_Noreduction", 4, nullptr, 0, -1},  // 38
    {"LongEdgeLeft", 0, nullptr, 0, -1},  // 39
    {"LongEdgeRight", 1, nullptr, 0, -1},  // 40
    {"LongEdgeTop", 2, nullptr, 0, -1},  // 41
    {"LongEdgeBottom", 3, nullptr, 0, -1},  // 42
    {"ShortEdgeLeft", 4, nullptr, 0, -1},  // 43
    {"ShortEdgeRight", 5, nullptr, 0, -1},  // 44
    {"ShortEdgeTop", 6, nullptr, 0, -1},  // 45
    {"ShortEdgeBottom", 7, nullptr, 0, -1},  // 46
    {"AutoBinding", 14, nullptr, 0, -1},  // 47
    {"LeftBinding", 15, nullptr, 0, -1},  // 48
    {"RightBinding", 16, nullptr, 0, -1},  // 49
    {"TopBinding", 17, nullptr, 0, -1},  // 50
    {"LongEdge", 12, nullptr, 0, -1},  // 51
    {"ShortEdge", 13, nullptr, 0, -1},  // 52
    {"LeftToRight", 0, nullptr, 0, -1},  // 53
    {"RightToLeft", 1, nullptr, 0, -1},  // 54
    {"TopToBottom", 2, nullptr, 0, -1},  // 55
    {"BottomToTop", 3, nullptr, 0, -1},  // 56
    {"UpperLeft_Rows", 4, nullptr, 0, -1},  // 57
    {"UpperLeft_Colum", 5, nullptr, 0, -1},  // 58
    {"UpperRight_Rows", 6, nullptr, 0, -1},  // 59
    {"UpperRight_Colum", 7, nullptr, 0, -1},  // 60
    {"BorderLine_Frame", 1, nullptr, 0, -1},  // 61
    {"BorderLine_Line", 2, nullptr, 0, -1},  // 62
    {"BindShift_Parallel", 0, nullptr, 0, -1},  // 63
    {"BindShift_Auto", 1, nullptr, 0, -1},  // 64
    {"BindShift_MM", 0, nullptr, 0, -1},  // 65
    {"BindShift_Inch", 1, nullptr, 0, -1},  // 66
    {"ImgShiftMFP_Driver", 0, nullptr, 0, -1},  // 67
    {"ImgShiftMFP_Printer", 1, nullptr, 0, -1},  // 68
    {"ImgShiftMFP_FrontL", 0, nullptr, 0, -1},  // 69
    {"ImgShiftMFP_FrontR", 1, nullptr, 0, -1},  // 70
    {"ImgShiftMFP_FrontT", 0, nullptr, 0, -1},  // 71
    {"ImgShiftMFP_FrontB", 1, nullptr, 0, -1},  // 72
    {"ImgShiftMFP_BackL", 0, nullptr, 0, -1},  // 73
    {"ImgShiftMFP_BackR", 1, nullptr, 0, -1},  // 74
    {"ImgShiftMFP_BackT", 0, nullptr, 0, -1},  // 75
    {"ImgShiftMFP_BackB", 1, nullptr, 0, -1},  // 76
    {"ImgShiftMFP_MM", 0, nullptr, 0, -1},  // 77
    {"ImgShiftMFP_Inch", 1, nullptr, 0, -1},  // 78
    {"PrnPos_TopEdge", 0, nullptr, 0, -1},  // 79
    {"PrnPos_Center", 1, nullptr, 0, -1},  // 80
    {"PrnPos_BackEdge", 2, nullptr, 0, -1},  // 81
    {"Cover_Blank", 1, nullptr, 0, -1},  // 82
    {"Cover_Print_1", 2, nullptr, 0, -1},  // 83
    {"Cover_Print_2", 3, nullptr, 0, -1},  // 84
    {"Cover_Print_3", 4, nullptr, 0, -1},  // 85
    {"Cover_Tray_1", 1, nullptr, 0, -1},  // 86
    {"Cover_Tray_2", 2, nullptr, 0, -1},  // 87
    {"Cover_Tray_3", 3, nullptr, 0, -1},  // 88
    {"Cover_Tray_4", 4, nullptr, 0, -1},  // 89
    {"Cover_Tray_5", 5, nullptr, 0, -1},  // 90
    {"Cover_Tray_PI1", 9, nullptr, 0, -1},  // 91
    {"Cover_Tray_PI2", 10, nullptr, 0, -1},  // 92
    {"Cover_Tray_PB", 14, nullptr, 0, -1},  // 93
    {"PerfectBinding_MM", 0, nullptr, 0, -1},  // 94
    {"PerfectBinding_Inch", 1, nullptr, 0, -1},  // 95
    {"TABImageShift_MM", 0, nullptr, 0, -1},  // 96
    {"TABImageShift_Inch", 1, nullptr, 0, -1},  // 97
    {"Blank_FCover", 1, nullptr, 0, -1},  // 98
    {"Print_S_FCover", 2, nullptr, 0, -1},  // 99
    {"Print_D_FCover", 3, nullptr, 0, -1},  // 100
    {"Blank_BCover", 1, nullptr, 0, -1},  // 101
    {"Print_S_BCover", 2, nullptr, 0, -1},  // 102
    {"Print_D_BCover", 3, nullptr, 0, -1},  // 103
    {"HeaderEachJob", 1, nullptr, 0, -1},  // 104
    {"HeaderEachCopy", 2, nullptr, 0, -1},  // 105
    {"TrailerEachCopy", 3, nullptr, 0, -1},  // 106
    {"CC_CopyOrder_Page", 0, nullptr, 0, -1},  // 107
    {"CC_CopyOrder_Tray", 1, nullptr, 0, -1},  // 108
    {"PerPageOFF", 0, nullptr, 0, -1},  // 109
    {"PerPageON", 1, nullptr, 0, -1},  // 110
    {"PPSTabNotUse", 0, nullptr, 0, -1},  // 111
    {"PPSTabUse", 1, nullptr, 0, -1},  // 112
    {"PPSStapling_OFF", 0, nullptr, 0, -1},  // 113
    {"PPSStapling_ON", 1, nullptr, 0, -1},  // 114
    {"PPSHolePunchSameAsBody", 255, nullptr, 0, -1},  // 115
    {"PPSHolePunch_OFF", 0, nullptr, 0, -1},  // 116
    {"PPSHolePunch_ON", 1, nullptr, 0, -1},  // 117
    {"Ovl_None", 0, nullptr, 0, -1},  // 118
    {"WM_None", 0, nullptr, 0, -1},  // 119
    {"Ovl_AllPage", 2, nullptr, 0, -1},  // 120
    {"Ovl_FirstPage", 3, nullptr, 0, -1},  // 121
    {"Ovl_EvenPage", 4, nullptr, 0, -1},  // 122
    {"Ovl_OddPage", 5, nullptr, 0, -1},  // 123
    {"Ovl_FirstPageOnly", 0, nullptr, 0, -1},  // 124
    {"Ovl_Back", 0, nullptr, 0, -1},  // 125
    {"Ovl_Front", 1, nullptr, 0, -1},  // 126
    {"Ovl_Nosetting", 0, nullptr, 0, -1},  // 127
    {"Ovl_Host_CreateShare", 4, nullptr, 0, -1},  // 128
    {"Ovl_Host_Create", 1, nullptr, 0, -1},  // 129
    {"Ovl_Host_Print", 2, nullptr, 0, -1},  // 130
    {"Ovl_Device_Print", 3, nullptr, 0, -1},  // 131
    {"DevOvlDevSetting01", 1, nullptr, 0, -1},  // 132
    {"DevOvlDevSetting02", 2, nullptr, 0, -1},  // 133
    {"DevOvlDevSetting03", 3, nullptr, 0, -1},  // 134
    {"DevOvlDevSetting04", 4, nullptr, 0, -1},  // 135
    {"DevOvlDevSetting05", 5, nullptr, 0, -1},  // 136
    {"DevOvlDevSetting06", 6, nullptr, 0, -1},  // 137
    {"DevOvlDevSetting07", 7, nullptr, 0, -1},  // 138
    {"DevOvlDevSetting08", 8, nullptr, 0, -1},  // 139
    {"DevOvlDevSetting09", 9, nullptr, 0, -1},  // 140
    {"DevOvlDevSetting10", 10, nullptr, 0, -1},  // 141
    {"DevOvlDevSetting11", 11, nullptr, 0, -1},  // 142
    {"DevOvlDevSetting12", 12, nullptr, 0, -1},  // 143
    {"DevOvlDevSetting13", 13, nullptr, 0, -1},  // 144
    {"DevOvlDevSetting14", 14, nullptr, 0, -1},  // 145
    {"DevOvlDevSetting15", 15, nullptr, 0, -1},  // 146
    {"DevOvlDevSetting16", 16, nullptr, 0, -1},  // 147
    {"DevOvlDevSetting17", 17, nullptr, 0, -1},  // 148
    {"DevOvlDevSetting18", 18, nullptr, 0, -1},  // 149
    {"DevOvlDevSetting19", 19, nullptr, 0, -1},  // 150
    {"DevOvlDevSetting20", 20, nullptr, 0, -1},  // 151
    {"DevOvlDevSetting21", 21, nullptr, 0, -1},  // 152
    {"DevOvlDevSetting22", 22, nullptr, 0, -1},  // 153
    {"DevOvlDevSetting23", 23, nullptr, 0, -1},  // 154
    {"DevOvlDevSetting24", 24, nullptr, 0, -1},  // 155
    {"DevOvlDevSetting25", 25, nullptr, 0, -1},  // 156
    {"DevOvlDevSetting26", 26, nullptr, 0, -1},  // 157
    {"DevOvlDevSetting27", 27, nullptr, 0, -1},  // 158
    {"DevOvlDevSetting28", 28, nullptr, 0, -1},  // 159
    {"DevOvlDevSetting29", 29, nullptr, 0, -1},  // 160
    {"DevOvlDevSetting30", 30, nullptr, 0, -1},  // 161
    {"DevOvlDevSetting31", 31, nullptr, 0, -1},  // 162
    {"DevOvlDevSetting32", 32, nullptr, 0, -1},  // 163
    {"DevOvlDevSetting33", 33, nullptr, 0, -1},  // 164
    {"DevOvlDevSetting34", 34, nullptr, 0, -1},  // 165
    {"DevOvlDevSetting35", 35, nullptr, 0, -1},  // 166
    {"DevOvlDevSetting36", 36, nullptr, 0, -1},  // 167
    {"DevOvlDevSetting37", 37, nullptr, 0, -1},  // 168
    {"DevOvlDevSetting38", 38, nullptr, 0, -1},  // 169
    {"DevOvlDevSetting39", 39, nullptr, 0, -1},  // 170
    {"DevOvlDevSetting40", 40, nullptr, 0, -1},  // 171
    {"DevOvlDevSetting41", 41, nullptr, 0, -1},  // 172
    {"DevOvlDevSetting42", 42, nullptr, 0, -1},  // 173
    {"DevOvlDevSetting43", 43, nullptr, 0, -1},  // 174
    {"DevOvlDevSetting44", 44, nullptr, 0, -1},  // 175
    {"DevOvlDevSetting45", 45, nullptr, 0, -1},  // 176
    {"DevOvlDevSetting46", 46, nullptr, 0, -1},  // 177
    {"DevOvlDevSetting47", 47, nullptr, 0, -1},  // 178
    {"DevOvlDevSetting48", 48, nullptr, 0, -1},  // 179
    {"DevOvlDevSetting49", 49, nullptr, 0, -1},  // 180
    {"DevOvlDevSetting50", 50, nullptr, 0, -1},  // 181
    {"DevOvlDevSetting51", 51, nullptr, 0, -1},  // 182
    {"DevOvlDevSetting52", 52, nullptr, 0, -1},  // 183
    {"DevOvlDevSetting53", 53, nullptr, 0, -1},  // 184
    {"DevOvlDevSetting54", 54, nullptr, 0, -1},  // 185
    {"DevOvlDevSetting55", 55, nullptr, 0, -1},  // 186
    {"DevOvlDevSetting56", 56, nullptr, 0, -1},  // 187
    {"DevOvlDevSetting57", 57, nullptr, 0, -1},  // 188
    {"DevOvlDevSetting58", 58, nullptr, 0, -1},  // 189
    {"DevOvlDevSetting59", 59, nullptr, 0, -1},  // 190
    {"DevOvlDevSetting60", 60, nullptr, 0, -1},  // 191
    {"DevOvlDevSetting61", 61, nullptr, 0, -1},  // 192
    {"DevOvlDevSetting62", 62, nullptr, 0, -1},  // 193
    {"DevOvlDevSetting63", 63, nullptr, 0, -1},  // 194
    {"DevOvlDevSetting64", 64, nullptr, 0, -1},  // 195
    {"DevOvlDevSetting65", 65, nullptr, 0, -1},  // 196
    {"DevOvlDevSetting66", 66, nullptr, 0, -1},  // 197
    {"DevOvlDevSetting67", 67, nullptr, 0, -1},  // 198
    {"DevOvlDevSetting68", 68, nullptr, 0, -1},  // 199
    {"DevOvlDevSetting69", 69, nullptr, 0, -1},  // 200
    {"DevOvlDevSetting70", 70, nullptr, 0, -1},  // 201
    {"DevOvlDevSetting71", 71, nullptr, 0, -1},  // 202
    {"DevOvlDevSetting72", 72, nullptr, 0, -1},  // 203
    {"DevOvlDevSetting73", 73, nullptr, 0, -1},  // 204
    {"DevOvlDevSetting74", 74, nullptr, 0, -1},  // 205
    {"DevOvlDevSetting75", 75, nullptr, 0, -1},  // 206
    {"DevOvlDevSetting76", 76, nullptr, 0, -1},  // 207
    {"DevOvlDevSetting77", 77, nullptr, 0, -1},  // 208
    {"DevOvlDevSetting78", 78, nullptr, 0, -1},  // 209
    {"DevOvlDevSetting79", 79, nullptr, 0, -1},  // 210
    {"DevOvlDevSetting80", 80, nullptr, 0, -1},  // 211
    {"DevOvlDevSetting81", 81, nullptr, 0, -1},  // 212
    {"DevOvlDevSetting82", 82, nullptr, 0, -1},  // 213
    {"DevOvlDevSetting83", 83, nullptr, 0, -1},  // 214
    {"DevOvlDevSetting84", 84, nullptr, 0, -1},  // 215
    {"DevOvlDevSetting85", 85, nullptr, 0, -1},  // 216
    {"DevOvlDevSetting86", 86, nullptr, 0, -1},  // 217
    {"DevOvlDevSetting87", 87, nullptr, 0, -1},  // 218
    {"DevOvlDevSetting88", 88, nullptr, 0, -1},  // 219
    {"DevOvlDevSetting89", 89, nullptr, 0, -1},  // 220
    {"DevOvlDevSetting90", 90, nullptr, 0, -1},  // 221
    {"DevOvlDevSetting91", 91, nullptr, 0, -1},  // 222
    {"DevOvlDevSetting92", 92, nullptr, 0, -1},  // 223
    {"DevOvlDevSetting93", 93, nullptr, 0, -1},  // 224
    {"DevOvlDevSetting94", 94, nullptr, 0, -1},  // 225
    {"DevOvlDevSetting95", 95, nullptr, 0, -1},  // 226
    {"DevOvlDevSetting96", 96, nullptr, 0, -1},  // 227
    {"DevOvlDevSetting97", 97, nullptr, 0, -1},  // 228
    {"DevOvlDevSetting98", 98, nullptr, 0, -1},  // 229
    {"DevOvlDevSetting99", 99, nullptr, 0, -1},  // 230
    {"DevOvlDevSetting100", 100, nullptr, 0, -1},  // 231
    {"DevOvlDevSetting01", 1, nullptr, 0, -1},  // 232
    {"DevOvlDevSetting02", 2, nullptr, 0, -1},  // 233
    {"DevOvlDevSetting03", 3, nullptr, 0, -1},  // 234
    {"DevOvlDevSetting04", 4, nullptr, 0, -1},  // 235
    {"DevOvlDevSetting05", 5, nullptr, 0, -1},  // 236
    {"DevOvlDevSetting06", 6, nullptr, 0, -1},  // 237
    {"DevOvlDevSetting07", 7, nullptr, 0, -1},  // 238
    {"DevOvlDevSetting08", 8, nullptr, 0, -1},  // 239
    {"DevOvlDevSetting09", 9, nullptr, 0, -1},  // 240
    {"DevOvlDevSetting10", 10, nullptr, 0, -1},  // 241
    {"DevOvlDevSetting11", 11, nullptr, 0, -1},  // 242
    {"DevOvlDevSetting12", 12, nullptr, 0, -1},  // 243
    {"DevOvlDevSetting13", 13, nullptr, 0, -1},  // 244
    {"DevOvlDevSetting14", 14, nullptr, 0, -1},  // 245
    {"DevOvlDevSetting15", 15, nullptr, 0, -1},  // 246
    {"DevOvlDevSetting16", 16, nullptr, 0, -1},  // 247
    {"DevOvlDevSetting17", 17, nullptr, 0, -1},  // 248
    {"DevOvlDevSetting18", 18, nullptr, 0, -1},  // 249
    {"DevOvlDevSetting19", 19, nullptr, 0, -1},  // 250
    {"DevOvlDevSetting20", 20, nullptr, 0, -1},  // 251
    {"DevOvlDevSetting21", 21, nullptr, 0, -1},  // 252
    {"DevOvlDevSetting22", 22, nullptr, 0, -1},  // 253
    {"DevOvlDevSetting23", 23, nullptr, 0, -1},  // 254
    {"DevOvlDevSetting24", 24, nullptr, 0, -1},  // 255
    {"DevOvlDevSetting25", 25, nullptr, 0, -1},  // 256
    {"DevOvlDevSetting26", 26, nullptr, 0, -1},  // 257
    {"DevOvlDevSetting27", 27, nullptr, 0, -1},  // 258
    {"DevOvlDevSetting28", 28, nullptr, 0, -1},  // 259
    {"DevOvlDevSetting29", 29, nullptr, 0, -1},  // 260
    {"DevOvlDevSetting30", 30, nullptr, 0, -1},  // 261
    {"DevOvlDevSetting31", 31, nullptr, 0, -1},  // 262
    {"DevOvlDevSetting32", 32, nullptr, 0, -1},  // 263
    {"DevOvlDevSetting33", 33, nullptr, 0, -1},  // 264
    {"DevOvlDevSetting34", 34, nullptr, 0, -1},  // 265
    {"DevOvlDevSetting35", 35, nullptr, 0, -1},  // 266
    {"DevOvlDevSetting36", 36, nullptr, 0, -1},  // 267
    {"DevOvlDevSetting37", 37, nullptr, 0, -1},  // 268
    {"DevOvlDevSetting38", 38, nullptr, 0, -1},  // 269
    {"DevOvlDevSetting39", 39, nullptr, 0, -1},  // 270
    {"DevOvlDevSetting40", 40, nullptr, 0, -1},  // 271
    {"DevOvlDevSetting41", 41, nullptr, 0, -1},  // 272
    {"DevOvlDevSetting42", 42, nullptr, 0, -1},  // 273
    {"DevOvlDevSetting43", 43, nullptr, 0, -1},  // 274
    {"DevOvlDevSetting44", 44, nullptr, 0, -1},  // 275
    {"DevOvlDevSetting45", 45, nullptr, 0, -1},  // 276
    {"DevOvlDevSetting46", 46, nullptr, 0, -1},  // 277
    {"DevOvlDevSetting47", 47, nullptr, 0, -1},  // 278
    {"DevOvlDevSetting48", 48, nullptr, 0, -1},  // 279
    {"DevOvlDevSetting49", 49, nullptr, 0, -1},  // 280
    {"DevOvlDevSetting50", 50, nullptr, 0, -1},  // 281
    {"DevOvlDevSetting51", 51, nullptr, 0, -1},  // 282
    {"DevOvlDevSetting52", 52, nullptr, 0, -1},  // 283
    {"DevOvlDevSetting53", 53, nullptr, 0, -1},  // 284
    {"DevOvlDevSetting54", 54, nullptr, 0, -1},  // 285
    {"DevOvlDevSetting55", 55, nullptr, 0, -1},  // 286
    {"DevOvlDevSetting56", 56, nullptr, 0, -1},  // 287
    {"DevOvlDevSetting57", 57, nullptr, 0, -1},  // 288
    {"DevOvlDevSetting58", 58, nullptr, 0, -1},  // 289
    {"DevOvlDevSetting59", 59, nullptr, 0, -1},  // 290
    {"DevOvlDevSetting60", 60, nullptr, 0, -1},  // 291
    {"DevOvlDevSetting61", 61, nullptr, 0, -1},  // 292
    {"DevOvlDevSetting62", 62, nullptr, 0, -1},  // 293
    {"DevOvlDevSetting63", 63, nullptr, 0, -1},  // 294
    {"DevOvlDevSetting64", 64, nullptr, 0, -1},  // 295
    {"DevOvlDevSetting65", 65, nullptr, 0, -1},  // 296
    {"DevOvlDevSetting66", 66, nullptr, 0, -1},  // 297
    {"DevOvlDevSetting67", 67, nullptr, 0, -1},  // 298
    {"DevOvlDevSetting68", 68, nullptr, 0, -1},  // 299
    {"DevOvlDevSetting69", 69, nullptr, 0, -1},  // 300
    {"DevOvlDevSetting70", 70, nullptr, 0, -1},  // 301
    {"DevOvlDevSetting71", 71, nullptr, 0, -1},  // 302
    {"DevOvlDevSetting72", 72, nullptr, 0, -1},  // 303
    {"DevOvlDevSetting73", 73, nullptr, 0, -1},  // 304
    {"DevOvlDevSetting74", 74, nullptr, 0, -1},  // 305
    {"DevOvlDevSetting75", 75, nullptr, 0, -1},  // 306
    {"DevOvlDevSetting76", 76, nullptr, 0, -1},  // 307
    {"DevOvlDevSetting77", 77, nullptr, 0, -1},  // 308
    {"DevOvlDevSetting78", 78, nullptr, 0, -1},  // 309
    {"DevOvlDevSetting79", 79, nullptr, 0, -1},  // 310
    {"DevOvlDevSetting80", 80, nullptr, 0, -1},  // 311
    {"DevOvlDevSetting81", 81, nullptr, 0, -1},  // 312
    {"DevOvlDevSetting82", 82, nullptr, 0, -1},  // 313
    {"DevOvlDevSetting83", 83, nullptr, 0, -1},  // 314
    {"DevOvlDevSetting84", 84, nullptr, 0, -1},  // 315
    {"DevOvlDevSetting85", 85, nullptr, 0, -1},  // 316
    {"DevOvlDevSetting86", 86, nullptr, 0, -1},  // 317
    {"DevOvlDevSetting87", 87, nullptr, 0, -1},  // 318
    {"DevOvlDevSetting88", 88, nullptr, 0, -1},  // 319
    {"DevOvlDevSetting89", 89, nullptr, 0, -1},  // 320
    {"DevOvlDevSetting90", 90, nullptr, 0, -1},  // 321
    {"DevOvlDevSetting91", 91, nullptr, 0, -1},  // 322
    {"DevOvlDevSetting92", 92, nullptr, 0, -1},  // 323
    {"DevOvlDevSetting93", 93, nullptr, 0, -1},  // 324
    {"DevOvlDevSetting94", 94, nullptr, 0, -1},  // 325
    {"DevOvlDevSetting95", 95, nullptr, 0, -1},  // 326
    {"DevOvlDevSetting96", 96, nullptr, 0, -1},  // 327
    {"DevOvlDevSetting97", 97, nullptr, 0, -1},  // 328
    {"DevOvlDevSetting98", 98, nullptr, 0, -1},  // 329
    {"DevOvlDevSetting99", 99, nullptr, 0, -1},  // 330
    {"DevOvlDevSetting100", 100, nullptr, 0, -1},  // 331
    {"DevOvlSurfaceDevSetting", 0, nullptr, 0, -1},  // 332
    {"DevOvlSurfaceFull", 1, nullptr, 0, -1},  // 333
    {"DevOvlSurfaceBlack", 2, nullptr, 0, -1},  // 334
    {"DevOvlSurfaceRed", 3, nullptr, 0, -1},  // 335
    {"DevOvlSurfaceGreen", 4, nullptr, 0, -1},  // 336
    {"DevOvlSurfaceBlue", 5, nullptr, 0, -1},  // 337
    {"DevOvlSurfaceYellow", 6, nullptr, 0, -1},  // 338
    {"DevOvlSurfaceMagenta", 7, nullptr, 0, -1},  // 339
    {"DevOvlSurfaceCyan", 8, nullptr, 0, -1},  // 340
    {"DevOvlBackDevSetting", 0, nullptr, 0, -1},  // 341
    {"DevOvlBackFull", 1, nullptr, 0, -1},  // 342
    {"DevOvlBackBlack", 2, nullptr, 0, -1},  // 343
    {"DevOvlBackRed", 3, nullptr, 0, -1},  // 344
    {"DevOvlBackGreen", 4, nullptr, 0, -1},  // 345
    {"DevOvlBackBlue", 5, nullptr, 0, -1},  // 346
    {"DevOvlBackYellow", 6, nullptr, 0, -1},  // 347
    {"DevOvlBackMagenta", 7, nullptr, 0, -1},  // 348
    {"DevOvlBackCyan", 8, nullptr, 0, -1},  // 349
    {"DevOvlSurfacePlacement", 0, nullptr, 0, -1},  // 350
    {"DevOvlSurfaceBack", 1, nullptr, 0, -1},  // 351
    {"DevOvlSurfaceFront", 2, nullptr, 0, -1},  // 352
    {"DevOvlBackPlacement", 0, nullptr, 0, -1},  // 353
    {"DevOvlBackBack", 1, nullptr, 0, -1},  // 354
    {"DevOvlBackFront", 2, nullptr, 0, -1},  // 355
    {"DevOvlAllPage", 0, nullptr, 0, -1},  // 356
    {"DevOvlFirstPage", 1, nullptr, 0, -1},  // 357
    {"WM_Public", 1, nullptr, 0, -1},  // 358
    {"WM_Private", 0, nullptr, 0, -1},  // 359
    {"WM_Style_R", 1, nullptr, 0, -1},  // 360
    {"WM_Style_I", 2, nullptr, 0, -1},  // 361
    {"WM_Style_B", 3, nullptr, 0, -1},  // 362
    {"WM_Style_BI", 4, nullptr, 0, -1},  // 363
    {"WM_Red", 255, nullptr, 0, -1},  // 364
    {"WM_Yellow", 65535, nullptr, 0, -1},  // 365
    {"WM_Blue", 16711680, nullptr, 0, -1},  // 366
    {"WM_Green", 65280, nullptr, 0, -1},  // 367
    {"WM_Magenta", 16711935, nullptr, 0, -1},  // 368
    {"WM_Cyan", 16776960, nullptr, 0, -1},  // 369
    {"WM_Black", 0, nullptr, 0, -1},  // 370
    {"WM_ColorSetting", -1, nullptr, 0, -1},  // 371
    {"WM_NoBox", 1, nullptr, 0, -1},  // 372
    {"WM_Circle", 2, nullptr, 0, -1},  // 373
    {"WM_Square", 3, nullptr, 0, -1},  // 374
    {"NME_Type_Stamp", 0, nullptr, 0, -1},  // 375
    {"NME_Type_WM", 1, nullptr, 0, -1},  // 376
    {"NME_PTP_AllPages", 0, nullptr, 0, -1},  // 377
    {"NME_PTP_1stPageOnly", 1, nullptr, 0, -1},  // 378
    {"NME_Color_Black", 0, nullptr, 0, -1},  // 379
    {"NME_Color_Red", 1, nullptr, 0, -1},  // 380
    {"NME_Color_Blue", 2, nullptr, 0, -1},  // 381
    {"Type_Stamp", 0, nullptr, 0, -1},  // 382
    {"Type_WM", 1, nullptr, 0, -1},  // 383
    {"NumAllPages", 0, nullptr, 0, -1},  // 384
    {"1stPageOnly", 1, nullptr, 0, -1},  // 385
    {"NumberingColor_Black", 0, nullptr, 0, -1},  // 386
    {"NumberingColor_Red", 1, nullptr, 0, -1},  // 387
    {"NumberingColor_Blue", 2, nullptr, 0, -1},  // 388
    {"DateAllPages", 0, nullptr, 0, -1},  // 389
    {"DateFCoverOnly", 1, nullptr, 0, -1},  // 390
    {"PageAllPages", 0, nullptr, 0, -1},  // 391
    {"PageNotFCover", 1, nullptr, 0, -1},  // 392
    {"PageNotFBCover", 2, nullptr, 0, -1},  // 393
    {"HFE_DevSetting01", 1, nullptr, 0, -1},  // 394
    {"HFE_DevSetting02", 2, nullptr, 0, -1},  // 395
    {"HFE_DevSetting03", 3, nullptr, 0, -1},  // 396
    {"HFE_DevSetting04", 4, nullptr, 0, -1},  // 397
    {"HFE_DevSetting05", 5, nullptr, 0, -1},  // 398
    {"HFE_DevSetting06", 6, nullptr, 0, -1},  // 399
    {"HFE_DevSetting07", 7, nullptr, 0, -1},  // 400
    {"HFE_DevSetting08", 8, nullptr, 0, -1},  // 401
    {"HFE_DevSetting09", 9, nullptr, 0, -1},  // 402
    {"HFE_DevSetting10", 10, nullptr, 0, -1},  // 403
    {"HFE_DevSetting11", 11, nullptr, 0, -1},  // 404
    {"HFE_DevSetting12", 12, nullptr, 0, -1},  // 405
    {"HFE_DevSetting13", 13, nullptr, 0, -1},  // 406
    {"HFE_DevSetting14", 14, nullptr, 0, -1},  // 407
    {"HFE_DevSetting15", 15, nullptr, 0, -1},  // 408
    {"HFE_DevSetting16", 16, nullptr, 0, -1},  // 409
    {"HFE_DevSetting17", 17, nullptr, 0, -1},  // 410
    {"HFE_DevSetting18", 18, nullptr, 0, -1},  // 411
    {"HFE_DevSetting19", 19, nullptr, 0, -1},  // 412
    {"HFE_DevSetting20", 20, nullptr, 0, -1},  // 413
    {"HFE_AllPages", 0, nullptr, 0, -1},  // 414
    {"HFE_1stPageOnly", 1, nullptr, 0, -1},  // 415
    {"HFE_Black", 1, nullptr, 0, -1},  // 416
    {"HFE_Red", 2, nullptr, 0, -1},  // 417
    {"HFE_Green", 3, nullptr, 0, -1},  // 418
    {"HFE_Blue", 4, nullptr, 0, -1},  // 419
    {"HFE_Yellow", 5, nullptr, 0, -1},  // 420
    {"HFE_Magenta", 6, nullptr, 0, -1},  // 421
    {"HFE_Cyan", 7, nullptr, 0, -1},  // 422
    {"HFE_HeaderLeft", 1, nullptr, 0, -1},  // 423
    {"HFE_HeaderCenter", 2, nullptr, 0, -1},  // 424
    {"HFE_HeaderRight", 3, nullptr, 0, -1},  // 425
    {"HFE_FooterLeft", 1, nullptr, 0, -1},  // 426
    {"HFE_FooterCenter", 2, nullptr, 0, -1},  // 427
    {"HFE_FooterRight", 3, nullptr, 0, -1},  // 428
    {"CP_FixedStamp", 0, nullptr, 0, -1},  // 429
    {"CP_RecordStamp", 1, nullptr, 0, -1},  // 430
    {"FixedDuplication", 1, nullptr, 0, -1},  // 431
    {"FixedCopy", 2, nullptr, 0, -1},  // 432
    {"FixedInvalidity", 3, nullptr, 0, -1},  // 433
    {"FixedSecret", 4, nullptr, 0, -1},  // 434
    {"FixedConfidential", 5, nullptr, 0, -1},  // 435
    {"FixedDraft", 6, nullptr, 0, -1},  // 436
    {"FixedTopSecret", 7, nullptr, 0, -1},  // 437
    {"FixedAttention", 8, nullptr, 0, -1},  // 438
    {"RecordStamp_101", 1, nullptr, 0, -1},  // 439
    {"RecordStamp_102", 2, nullptr, 0, -1},  // 440
    {"RecordStamp_103", 3, nullptr, 0, -1},  // 441
    {"RecordStamp_104", 4, nullptr, 0, -1},  // 442
    {"RecordStamp_105", 5, nullptr, 0, -1},  // 443
    {"RecordStamp_106", 6, nullptr, 0, -1},  // 444
    {"RecordStamp_107", 7, nullptr, 0, -1},  // 445
    {"RecordStamp_108", 8, nullptr, 0, -1},  // 446
    {"DateYYMMDD", 0, nullptr, 0, -1},  // 447
    {"DateMDDYYYY", 1, nullptr, 0, -1},  // 448
    {"DateMMDDYY", 2, nullptr, 0, -1},  // 449
    {"DateDDMYYYY", 3, nullptr, 0, -1},  // 450
    {"DateDDMMYY", 4, nullptr, 0, -1},  // 451
    {"TimeNone", 0, nullptr, 0, -1},  // 452
    {"TimeHMMI", 1, nullptr, 0, -1},  // 453
    {"TimeHHMM", 2, nullptr, 0, -1},  // 454
    {"ProtectBlack", 1, nullptr, 0, -1},  // 455
    {"ProtectMagenta", 6, nullptr, 0, -1},  // 456
    {"ProtectCyan", 7, nullptr, 0, -1},  // 457
    {"PatternFloat", 0, nullptr, 0, -1},  // 458
    {"PatternWhiteOut", 1, nullptr, 0, -1},  // 459
    {"PatternSizeS", 0, nullptr, 0, -1},  // 460
    {"PatternSizeN", 1, nullptr, 0, -1},  // 461
    {"PatternSizeL", 3, nullptr, 0, -1},  // 462
    {"PatternOW_ON", 0, nullptr, 0, -1},  // 463
    {"PatternOW_OFF", 1, nullptr, 0, -1},  // 464
    {"AngleP45", 0, nullptr, 0, -1},  // 465
    {"Angle0", 1, nullptr, 0, -1},  // 466
    {"AngleM45", 2, nullptr, 0, -1},  // 467
    {"CPE_DistributionNumOFF", 0, nullptr, 0, -1},  // 468
    {"CPE_DistributionNumON", 1, nullptr, 0, -1},  // 469
    {"DPE_DateTimeAllPages", 1, nullptr, 0, -1},  // 470
    {"DPE_DateTime1stPageOnly", 2, nullptr, 0, -1},  // 471
    {"DPE_PN_PageNum_Pn", 0, nullptr, 0, -1},  // 472
    {"DPE_PN_PageNum_n_n", 1, nullptr, 0, -1},  // 473
    {"DPE_PN_PageNum_n", 2, nullptr, 0, -1},  // 474
    {"DPE_PN_PageNum_-n-", 3, nullptr, 0, -1},  // 475
    {"DPE_PN_PageNum_n-n", 4, nullptr, 0, -1},  // 476
    {"FullColor", 0, nullptr, 0, -1},  // 477
    {"Grayscale", 1, nullptr, 0, -1},  // 478
    {"Color_Auto", 0, nullptr, 0, -1},  // 479
    {"Color_Doc", 1, nullptr, 0, -1},  // 480
    {"Color_Photo", 2, nullptr, 0, -1},  // 481
    {"Color_Presen", 3, nullptr, 0, -1},  // 482
    {"Color_DTP", 4, nullptr, 0, -1},  // 483
    {"Color_Web", 5, nullptr, 0, -1},  // 484
    {"Color_CAD", 6, nullptr, 0, -1},  // 485
    {"Color_ICM", 7, nullptr, 0, -1},  // 486
    {"Color_Custom", 8, nullptr, 0, -1},  // 487
    {"PrnBk_Text", 2, nullptr, 0, -1},  // 488
    {"PrnBk_TextAndGraphics", 0, nullptr, 0, -1},  // 489
    {"PrnBk_All", 1, nullptr, 0, -1},  // 490
    {"BlackOverPrintText", 0, nullptr, 0, -1},  // 491
    {"BlackOverPrintTextAndGraphics", 1, nullptr, 0, -1},  // 492
    {"Pattern_Fine", 0, nullptr, 0, -1},  // 493
    {"Pattern_Coarse", 1, nullptr, 0, -1},  // 494
    {"Comp_DeltaRow", 3, nullptr, 0, -1},  // 495
    {"Comp_JPEG", 4, nullptr, 0, -1},  // 496
    {"Comp_Reduction", 5, nullptr, 0, -1},  // 497
    {"ColAdj_AllObject", 0, nullptr, 0, -1},  // 498
    {"ColAdj_EachObject", 1, nullptr, 0, -1},  // 499
    {"CM_ObjectText", 0, nullptr, 0, -1},  // 500
    {"CM_ObjectPhoto", 1, nullptr, 0, -1},  // 501
    {"CM_ObjectFigure", 2, nullptr, 0, -1},  // 502
    {"CM_TypeAuto", 0, nullptr, 0, -1},  // 503
    {"CM_TypeVivid", 1, nullptr, 0, -1},  // 504
    {"CM_TypePhoto", 2, nullptr, 0, -1},  // 505
    {"CM_TypeColor", 3, nullptr, 0, -1},  // 506
    {"OT_Auto", 0, nullptr, 0, -1},  // 507
    {"OT_PureBlack_OFF", 1, nullptr, 0, -1},  // 508
    {"OT_PureBlack_ON", 2, nullptr, 0, -1},  // 509
    {"OT_ScreenAuto", 0, nullptr, 0, -1},  // 510
    {"OT_ScreenGrad", 1, nullptr, 0, -1},  // 511
    {"OT_ScreenReso", 2, nullptr, 0, -1},  // 512
    {"OT_ScreenHiReso", 3, nullptr, 0, -1},  // 513
    {"OT_Screen2Auto", 0, nullptr, 0, -1},  // 514
    {"OT_Screen2Grad", 1, nullptr, 0, -1},  // 515
    {"OT_Screen2Reso", 2, nullptr, 0, -1},  // 516
    {"OT_Screen2HiReso", 3, nullptr, 0, -1},  // 517
    {"OT_SmoothAuto", 0, nullptr, 0, -1},  // 518
    {"OT_Smooth_OFF", 1, nullptr, 0, -1},  // 519
    {"OT_SmoothDark", 2, nullptr, 0, -1},  // 520
    {"OT_SmoothMedium", 3, nullptr, 0, -1},  // 521
    {"OT_SmoothLight", 4, nullptr, 0, -1},  // 522
    {"Each_MB_Auto", 1, nullptr, 0, -1},  // 523
    {"Each_MB_Text", 2, nullptr, 0, -1},  // 524
    {"Each_MB_Photo", 3, nullptr, 0, -1},  // 525
    {"Each_SS_Auto", 1, nullptr, 0, -1},  // 526
    {"Each_SS_Text", 2, nullptr, 0, -1},  // 527
    {"Each_SS_Photo", 3, nullptr, 0, -1},  // 528
    {"ColAdj_DeviceRGB", 0, nullptr, 0, 0},  // 529
    {"ColAdj_sRGB", 1, nullptr, 0, 1},  // 530
    {"ColAdj_AppleRGB", 129, nullptr, 0, 2},  // 531
    {"ColAdj_AdobeRGB1998", 128, nullptr, 0, 3},  // 532
    {"ColAdj_ColorMatchRGB", 131, nullptr, 0, 4},  // 533
    {"ColAdj_BlueAdjust", 141, nullptr, 0, 5},  // 534
    {"ColAdj_RGBProf_DL01", 256, nullptr, 0, 6},  // 535
    {"ColAdj_RGBProf_DL02", 257, nullptr, 0, 7},  // 536
    {"ColAdj_RGBProf_DL03", 258, nullptr, 0, 8},  // 537
    {"ColAdj_RGBProf_DL04", 259, nullptr, 0, 9},  // 538
    {"ColAdj_RGBProf_DL05", 260, nullptr, 0, 10},  // 539
    {"ColAdj_RGBProf_DL06", 261, nullptr, 0, 11},  // 540
    {"ColAdj_RGBProf_DL07", 262, nullptr, 0, 12},  // 541
    {"ColAdj_RGBProf_DL08", 263, nullptr, 0, 13},  // 542
    {"ColAdj_RGBProf_DL09", 264, nullptr, 0, 14},  // 543
    {"ColAdj_RGBProf_DL10", 265, nullptr, 0, 15},  // 544
    {"ColAdj_DestAuto", 0, nullptr, 0, 16},  // 545
    {"ColAdj_DestProf_DL01", 128, nullptr, 0, 17},  // 546
    {"ColAdj_DestProf_DL02", 129, nullptr, 0, 18},  // 547
    {"ColAdj_DestProf_DL03", 130, nullptr, 0, 19},  // 548
    {"ColAdj_DestProf_DL04", 131, nullptr, 0, 20},  // 549
    {"ColAdj_DestProf_DL05", 132, nullptr, 0, 21},  // 550
    {"ColAdj_DestProf_DL06", 133, nullptr, 0, 22},  // 551
    {"ColAdj_DestProf_DL07", 134, nullptr, 0, 23},  // 552
    {"ColAdj_DestProf_DL08", 135, nullptr, 0, 24},  // 553
    {"ColAdj_DestProf_DL09", 136, nullptr, 0, 25},  // 554
    {"ColAdj_DestProf_DL10", 137, nullptr, 0, 26},  // 555
    {"ColAdj_Simu_None", 0, nullptr, 0, 27},  // 556
    {"ColAdj_Simu_SWOP", 1, nullptr, 0, 28},  // 557
    {"ColAdj_Simu_Euroscale", 2, nullptr, 0, 29},  // 558
    {"ColAdj_Simu_CommercialPress", 3, nullptr, 0, 30},  // 559
    {"ColAdj_Simu_TOYO", 4, nullptr, 0, 31},  // 560
    {"ColAdj_Simu_DIC", 5, nullptr, 0, 32},  // 561
    {"ColAdj_Simu_AUTO", 7, nullptr, 0, 33},  // 562
    {"ColAdj_Simu_JapanColor2001", 8, nullptr, 0, 34},  // 563
    {"ColAdj_SimuProf_DL01", 128, nullptr, 0, 35},  // 564
    {"ColAdj_SimuProf_DL02", 129, nullptr, 0, 36},  // 565
    {"ColAdj_SimuProf_DL03", 130, nullptr, 0, 37},  // 566
    {"ColAdj_SimuProf_DL04", 131, nullptr, 0, 38},  // 567
    {"ColAdj_SimuProf_DL05", 132, nullptr, 0, 39},  // 568
    {"ColAdj_SimuProf_DL06", 133, nullptr, 0, 40},  // 569
    {"ColAdj_SimuProf_DL07", 134, nullptr, 0, 41},  // 570
    {"ColAdj_SimuProf_DL08", 135, nullptr, 0, 42},  // 571
    {"ColAdj_SimuProf_DL09", 136, nullptr, 0, 43},  // 572
    {"ColAdj_SimuProf_DL10", 137, nullptr, 0, 44},  // 573
    {"ColAdj_Simu_4Color", 0, nullptr, 0, -1},  // 574
    {"ColAdj_Simu_BandG", 1, nullptr, 0, -1},  // 575
    {"ColAdj_Simu_BlackOnly", 2, nullptr, 0, -1},  // 576
    {"FontDownloadAuto", 0, nullptr, 0, -1},  // 577
    {"OutlineDownload", 1, nullptr, 0, -1},  // 578
    {"BitmapDownload", 2, nullptr, 0, -1},  // 579
    {"NativeTTDownload", 3, nullptr, 0, -1},  // 580
    {"FontSubstituteOFF", 1, nullptr, 0, -1},  // 581
    {"FontSubstituteON", 0, nullptr, 0, -1},  // 582
    {"ICM_Host", 2, nullptr, 0, -1},  // 583
    {"ICM_Printer", 3, nullptr, 0, -1},  // 584
    {"ICM_PrinterCalib", 4, nullptr, 0, -1},  // 585
    {"ICM_Pictures", 2, nullptr, 0, -1},  // 586
    {"ICM_Graphics", 1, nullptr, 0, -1},  // 587
    {"ICM_Proof", 3, nullptr, 0, -1},  // 588
    {"ICM_Match", 4, nullptr, 0, -1},  // 589
    {"Img_DeviceRGB", 0, nullptr, 0, -1},  // 590
    {"Img_sRGB", 1, nullptr, 0, -1},  // 591
    {"Text_DeviceRGB", 0, nullptr, 0, -1},  // 592
    {"Text_sRGB", 1, nullptr, 0, -1},  // 593
    {"Graph_DeviceRGB", 0, nullptr, 0, -1},  // 594
    {"Graph_sRGB", 1, nullptr, 0, -1},  // 595
    {"DeviceRGB", 0, nullptr, 0, -1},  // 596
    {"sRGB", 1, nullptr, 0, -1},  // 597
    {"Img_Vivid", 0, nullptr, 0, -1},  // 598
    {"Img_Photographic", 1, nullptr, 0, -1},  // 599
    {"Img_Proof", 2, nullptr, 0, -1},  // 600
    {"Img_Match", 3, nullptr, 0, -1},  // 601
    {"Text_Vivid", 0, nullptr, 0, -1},  // 602
    {"Text_Photographic", 1, nullptr, 0, -1},  // 603
    {"Text_Proof", 2, nullptr, 0, -1},  // 604
    {"Text_Match", 3, nullptr, 0, -1},  // 605
    {"Graph_Vivid", 0, nullptr, 0, -1},  // 606
    {"Graph_Photographic", 1, nullptr, 0, -1},  // 607
    {"Graph_Proof", 2, nullptr, 0, -1},  // 608
    {"Graph_Match", 3, nullptr, 0, -1},  // 609
    {"Img_4Color", 0, nullptr, 0, -1},  // 610
    {"Img_BandG", 1, nullptr, 0, -1},  // 611
    {"Img_BlackOnly", 2, nullptr, 0, -1},  // 612
    {"Text_4Color", 0, nullptr, 0, -1},  // 613
    {"Text_BandG", 1, nullptr, 0, -1},  // 614
    {"Text_BlackOnly", 2, nullptr, 0, -1},  // 615
    {"Graph_4Color", 0, nullptr, 0, -1},  // 616
    {"Graph_BandG", 1, nullptr, 0, -1},  // 617
    {"Graph_BlackOnly", 2, nullptr, 0, -1},  // 618
    {"Img_UltraDetail", 0, nullptr, 0, -1},  // 619
    {"Img_Detail", 1, nullptr, 0, -1},  // 620
    {"Img_Smooth", 2, nullptr, 0, -1},  // 621
    {"Text_UltraDetail", 0, nullptr, 0, -1},  // 622
    {"Text_Detail", 1, nullptr, 0, -1},  // 623
    {"Text_Smooth", 2, nullptr, 0, -1},  // 624
    {"Graph_HalftoneText", 3, "Same as Text Setting", 0, -1},  // 625
    {"Graph_HalftoneImage", 4, "Same as Image Setting", 0, -1},  // 626
    {"Graph_UltraDetail", 0, "UltraDetail", 0, -1},  // 627
    {"Graph_Detail", 1, "Detail", 0, -1},  // 628
    {"Graph_Smooth", 2, "Smooth", 0, -1},  // 629
    {"Simu_None", 0, nullptr, 0, -1},  // 630
    {"Simu_SWOP", 1, nullptr, 0, -1},  // 631
    {"Simu_Euroscale", 2, nullptr, 0, -1},  // 632
    {"Simu_CommercialPress", 3, nullptr, 0, -1},  // 633
    {"Simu_TOYO", 4, nullptr, 0, -1},  // 634
    {"Simu_DIC", 5, nullptr, 0, -1},  // 635
    {"Simu_JapanColor", 6, nullptr, 0, -1},  // 636
    {"Dest_Auto", 0, nullptr, 0, -1},  // 637
    {"Simu_4Color", 0, nullptr, 0, -1},  // 638
    {"Simu_BandG", 1, nullptr, 0, -1},  // 639
    {"Simu_BlackOnly", 2, nullptr, 0, -1},  // 640
    {"Img_DestAuto", 0, nullptr, 0, -1},  // 641
    {"Text_DestAuto", 0, nullptr, 0, -1},  // 642
    {"Graph_DestAuto", 0, nullptr, 0, -1},  // 643
    {"Graph_MatchText", 0, nullptr, 0, -1},  // 644
    {"Graph_MatchImage", 1, nullptr, 0, -1},  // 645
    {"PublicUser", 0, nullptr, 0, -1},  // 646
    {"RecipientUser", 1, nullptr, 0, -1},  // 647
    {"ChkBlankRatio_75", 75, nullptr, 0, -1},  // 648
    {"ChkBlankRatio_50", 50, nullptr, 0, -1},  // 649
    {"Off", 0, nullptr, 0, -1},  // 650
    {"On", 1, nullptr, 0, -1},  // 651
    {"Off", 0, nullptr, 0, -1},  // 652
    {"On", 1, nullptr, 0, -1},  // 653
    {"Paper_MM", 0, nullptr, 0, -1},  // 654
    {"Paper_Inch", 1, nullptr, 0, -1},  // 655
    {"CPE_CopyProtect", 1, nullptr, 0, -1},  // 656
    {"CPE_Stamp", 0, nullptr, 0, -1},  // 657
    {"CPE_CP_Black", 1, nullptr, 0, -1},  // 658
    {"CPE_CP_Magenta", 6, nullptr, 0, -1},  // 659
    {"CPE_CP_Cyan", 7, nullptr, 0, -1},  // 660
    {"CPE_SS_Black", 1, nullptr, 0, -1},  // 661
    {"CPE_SS_Magenta", 6, nullptr, 0, -1},  // 662
    {"CPE_SS_Cyan", 7, nullptr, 0, -1},  // 663
    {"CSE_CP_Black", 1, nullptr, 0, -1},  // 664
    {"CSE_CP_Magenta", 6, nullptr, 0, -1},  // 665
    {"CSE_CP_Cyan", 7, nullptr, 0, -1},  // 666
    {"DPE_DateTimeBlack", 1, nullptr, 0, -1},  // 667
    {"DPE_DateTimeRed", 2, nullptr, 0, -1},  // 668
    {"DPE_DateTimeGreen", 3, nullptr, 0, -1},  // 669
    {"DPE_DateTimeBlue", 4, nullptr, 0, -1},  // 670
    {"DPE_DateTimeYellow", 5, nullptr, 0, -1},  // 671
    {"DPE_DateTimeMagenta", 6, nullptr, 0, -1},  // 672
    {"DPE_DateTimeCyan", 7, nullptr, 0, -1},  // 673
    {"DPE_PageNumBlack", 1, nullptr, 0, -1},  // 674
    {"DPE_PageNumRed", 2, nullptr, 0, -1},  // 675
    {"DPE_PageNumGreen", 3, nullptr, 0, -1},  // 676
    {"DPE_PageNumBlue", 4, nullptr, 0, -1},  // 677
    {"DPE_PageNumYellow", 5, nullptr, 0, -1},  // 678
    {"DPE_PageNumMagenta", 6, nullptr, 0, -1},  // 679
    {"DPE_PageNumCyan", 7, nullptr, 0, -1},  // 680
    {"FcsBStyle00", 0, nullptr, 0, -1},  // 681
    {"FcsBStyle01", 1, nullptr, 0, -1},  // 682
    {"FcsBStyle02", 2, nullptr, 0, -1},  // 683
    {"FcsBStyle03", 3, nullptr, 0, -1},  // 684
    {"FcsBDateYMDH", 0, nullptr, 0, -1},  // 685
    {"FcsBDateYMDS", 1, nullptr, 0, -1},  // 686
    {"FcsBDateYMDP", 2, nullptr, 0, -1},  // 687
    {"FcsBDateMDYH", 3, nullptr, 0, -1},  // 688
    {"FcsBDateMDYS", 4, nullptr, 0, -1},  // 689
    {"FcsBDateMDYP", 5, nullptr, 0, -1},  // 690
    {"FcsBDateDMYH", 6, nullptr, 0, -1},  // 691
    {"FcsBDateDMYS", 7, nullptr, 0, -1},  // 692
    {"FcsBDateDMYP", 8, nullptr, 0, -1},  // 693
    {"FcsRAll", 0, nullptr, 0, -1},  // 694
    {"FcsRConcern", 1, nullptr, 0, -1},  // 695
    {"FcsRAllCustomers", 2, nullptr, 0, -1},  // 696
    {"FcsRAllMembers", 3, nullptr, 0, -1},  // 697
    {"FtpListName", 1, nullptr, 0, -1},  // 698
    {"FtpListFAXNumber", 2, nullptr, 0, -1},  // 699
    {"FtpListCompany", 3, nullptr, 0, -1},  // 700
    {"FtpListDepartment", 4, nullptr, 0, -1},  // 701
    {"FtpListECM", 5, nullptr, 0, -1},  // 702
    {"FtpListIntTransMode", 6, nullptr, 0, -1},  // 703
    {"FtpListV34Mode", 7, nullptr, 0, -1},  // 704
    {"FtpECMON", 1, nullptr, 0, -1},  // 705
    {"FtpECMOFF", 2, nullptr, 0, -1},  // 706
    {"FtpIntTransModeON", 1, nullptr, 0, -1},  // 707
    {"FtpIntTransModeOFF", 2, nullptr, 0, -1},  // 708
    {"FtpV34ModeON", 1, nullptr, 0, -1},  // 709
    {"FtpV34ModeOFF", 2, nullptr, 0, -1},  // 710
    {"CP_CopyGuard", 1, nullptr, 0, -1},  // 711
    {"CP_PasswordCopy", 2, nullptr, 0, -1},  // 712
    {"CP_CopyProtect", 3, nullptr, 0, -1},  // 713
    {"CP_RepeatableStamp", 4, nullptr, 0, -1},  // 714
    {"CSE_InvalidCopy", 1, nullptr, 0, -1},  // 715
    {"CSE_COPY", 2, nullptr, 0, -1},  // 716
    {"CSE_Invalid", 3, nullptr, 0, -1},  // 717
    {"CSE_InternalUse", 4, nullptr, 0, -1},  // 718
    {"CSE_Confidential", 5, nullptr, 0, -1},  // 719
    {"CSE_DRAFT", 6, nullptr, 0, -1},  // 720
    {"CSE_TopSecret", 7, nullptr, 0, -1},  // 721
    {"CSE_IllegalCopy", 8, nullptr, 0, -1},  // 722
    {"CSE_MachineSetting1", 101, nullptr, 1, -1},  // 723
    {"CSE_MachineSetting2", 102, nullptr, 1, -1},  // 724
    {"CSE_MachineSetting3", 103, nullptr, 1, -1},  // 725
    {"CSE_MachineSetting4", 104, nullptr, 1, -1},  // 726
    {"CSE_MachineSetting5", 105, nullptr, 1, -1},  // 727
    {"CSE_MachineSetting6", 106, nullptr, 1, -1},  // 728
    {"CSE_MachineSetting7", 107, nullptr, 1, -1},  // 729
    {"CSE_MachineSetting8", 108, nullptr, 1, -1},  // 730
    {"CSE_DistributionNumOFF", 0, nullptr, 0, -1},  // 731
    {"CSE_DistributionNumON", 1, nullptr, 0, -1},  // 732
    {"CSE_CP_Front", 0, nullptr, 0, -1},  // 733
    {"CSE_CP_Back", 1, nullptr, 0, -1},  // 734
    {"CSE_CP_EmbossText", 0, nullptr, 0, -1},  // 735
    {"CSE_CP_EmbossBackground", 1, nullptr, 0, -1},  // 736
    {"CSE_TextAngle_P45", 0, nullptr, 0, -1},  // 737
    {"CSE_TextAngle_0", 1, nullptr, 0, -1},  // 738
    {"CSE_TextAngle_M45", 2, nullptr, 0, -1},  // 739
    {"JobOffsetOFF", 0, nullptr, 0, -1},  // 740
    {"JobOffsetON", 1, nullptr, 0, -1},  // 741
    {"PaperOption1OFF", 0, nullptr, 0, -1},  // 742
    {"PaperOption1ON", 1, nullptr, 0, -1},  // 743
    {"PaperOption2OFF", 0, nullptr, 0, -1},  // 744
    {"PaperOption2ON", 1, nullptr, 0, -1},  // 745
    {"FullBleedOFF", 0, nullptr, 0, -1},  // 746
    {"FullBleedON", 1, nullptr, 0, -1},  // 747
    {"HidePasswordOFF", 0, nullptr, 0, -1},  // 748
    {"HidePasswordON", 1, nullptr, 0, -1},  // 749
    {"NupOFF", 0, nullptr, 0, -1},  // 750
    {"NupON", 1, nullptr, 0, -1},  // 751
    {"CombinationOFF", 0, nullptr, 0, -1},  // 752
    {"CombinationON", 1, nullptr, 0, -1},  // 753
    {"AdhesiveBindOFF", 0, nullptr, 0, -1},  // 754
    {"AdhesiveBindON", 1, nullptr, 0, -1},  // 755
    {"BindingShiftOFF", 0, nullptr, 0, -1},  // 756
    {"BindingShiftON", 1, nullptr, 0, -1},  // 757
    {"ImageShiftOFF", 0, nullptr, 0, -1},  // 758
    {"ImageShiftON", 1, nullptr, 0, -1},  // 759
    {"Rotate180OFF", 0, nullptr, 0, -1},  // 760
    {"Rotate180ON", 1, nullptr, 0, -1},  // 761
    {"SaveBlankPaperOFF", 0, nullptr, 0, -1},  // 762
    {"SaveBlankPaperON", 1, nullptr, 0, -1},  // 763
    {"ChapterOFF", 0, nullptr, 0, -1},  // 764
    {"ChapterON", 1, nullptr, 0, -1},  // 765
    {"BorderLineOFF", 0, nullptr, 0, -1},  // 766
    {"BorderLineON", 1, nullptr, 0, -1},  // 767
    {"PosterMarginLineOFF", 0, nullptr, 0, -1},  // 768
    {"PosterMarginLineON", 1, nullptr, 0, -1},  // 769
    {"BookletBorderOFF", 0, nullptr, 0, -1},  // 770
    {"BookletBorderON", 1, nullptr, 0, -1},  // 771
    {"BindShift_SameOFF", 0, nullptr, 0, -1},  // 772
    {"BindShift_SameON", 1, nullptr, 0, -1},  // 773
    {"ImgShiftMFP_AutoOFF", 0, nullptr, 0, -1},  // 774
    {"ImgShiftMFP_AutoON", 1, nullptr, 0, -1},  // 775
    {"StapleOFF", 0, nullptr, 0, -1},  // 776
    {"StapleON", 1, nullptr, 0, -1},  // 777
    {"HolePunchOFF", 0, nullptr, 0, -1},  // 778
    {"HolePunchON", 1, nullptr, 0, -1},  // 779
    {"CenterStapleOFF", 0, nullptr, 0, -1},  // 780
    {"CenterStapleON", 1, nullptr, 0, -1},  // 781
    {"CenterEraseOFF", 0, nullptr, 0, -1},  // 782
    {"CenterEraseON", 1, nullptr, 0, -1},  // 783
    {"FoldingOFF", 0, nullptr, 0, -1},  // 784
    {"FoldingON", 1, nullptr, 0, -1},  // 785
    {"TrimOFF", 0, nullptr, 0, -1},  // 786
    {"TrimON", 1, nullptr, 0, -1},  // 787
    {"DivideOutputOFF", 0, nullptr, 0, -1},  // 788
    {"DivideOutputON", 1, nullptr, 0, -1},  // 789
    {"PileModeOFF", 0, nullptr, 0, -1},  // 790
    {"PileModeON", 1, nullptr, 0, -1},  // 791
    {"TandemOFF", 0, nullptr, 0, -1},  // 792
    {"TandemON", 1, nullptr, 0, -1},  // 793
    {"PerfectBindingOFF", 0, nullptr, 0, -1},  // 794
    {"PerfectBindingON", 1, nullptr, 0, -1},  // 795
    {"PBCoverDuplexOFF", 0, nullptr, 0, -1},  // 796
    {"PBCoverDuplexON", 1, nullptr, 0, -1},  // 797
    {"PBCoverTrimingOFF", 0, nullptr, 0, -1},  // 798
    {"PBCoverTrimingON", 1, nullptr, 0, -1},  // 799
    {"FrontCoverOFF", 0, nullptr, 0, -1},  // 800
    {"FrontCoverON", 1, nullptr, 0, -1},  // 801
    {"BackCoverOFF", 0, nullptr, 0, -1},  // 802
    {"BackCoverON", 1, nullptr, 0, -1},  // 803
    {"SeparatePageOFF", 0, nullptr, 0, -1},  // 804
    {"SeparatePageON", 1, nullptr, 0, -1},  // 805
    {"OHP_InterleaveOFF", 0, nullptr, 0, -1},  // 806
    {"OHP_InterleaveON", 1, nullptr, 0, -1},  // 807
    {"CarbonCopyOFF", 0, nullptr, 0, -1},  // 808
    {"CarbonCopyON", 1, nullptr, 0, -1},  // 809
    {"CC_CopyTray1OFF", 0, nullptr, 0, -1},  // 810
    {"CC_CopyTray1ON", 1, nullptr, 0, -1},  // 811
    {"CC_CopyTray2OFF", 0, nullptr, 0, -1},  // 812
    {"CC_CopyTray2ON", 1, nullptr, 0, -1},  // 813
    {"CC_CopyTray3OFF", 0, nullptr, 0, -1},  // 814
    {"CC_CopyTray3ON", 1, nullptr, 0, -1},  // 815
    {"CC_CopyTray4OFF", 0, nullptr, 0, -1},  // 816
    {"CC_CopyTray4ON", 1, nullptr, 0, -1},  // 817
    {"CC_CopyTray5OFF", 0, nullptr, 0, -1},  // 818
    {"CC_CopyTray5ON", 1, nullptr, 0, -1},  // 819
    {"CC_CopyTrayLCTOFF", 0, nullptr, 0, -1},  // 820
    {"CC_CopyTrayLCTON", 1, nullptr, 0, -1},  // 821
    {"CC_CopyTrayManualOFF", 0, nullptr, 0, -1},  // 822
    {"CC_CopyTrayManualON", 1, nullptr, 0, -1},  // 823
    {"PIFrontCoverOFF", 0, nullptr, 0, -1},  // 824
    {"PIFrontCoverON", 1, nullptr, 0, -1},  // 825
    {"PIBackCoverOFF", 0, nullptr, 0, -1},  // 826
    {"PIBackCoverON", 1, nullptr, 0, -1},  // 827
    {"OverlayOFF", 0, nullptr, 0, -1},  // 828
    {"OverlayON", 1, nullptr, 0, -1},  // 829
    {"Ovl_CreateOFF", 0, nullptr, 0, -1},  // 830
    {"Ovl_CreateON", 1, nullptr, 0, -1},  // 831
    {"DevOvlSameSurfaceOFF", 0, nullptr, 0, -1},  // 832
    {"DevOvlSameSurfaceON", 1, nullptr, 0, -1},  // 833
    {"Ovl_OtherPagesOFF", 0, nullptr, 0, -1},  // 834
    {"Ovl_OtherPagesON", 1, nullptr, 0, -1},  // 835
    {"WatermarkOFF", 0, nullptr, 0, -1},  // 836
    {"WatermarkON", 1, nullptr, 0, -1},  // 837
    {"WM_TransparentOFF", 0, nullptr, 0, -1},  // 838
    {"WM_TransparentON", 1, nullptr, 0, -1},  // 839
    {"WM_FirstPageOFF", 0, nullptr, 0, -1},  // 840
    {"WM_FirstPageON", 1, nullptr, 0, -1},  // 841
    {"WM_RepeatOFF", 0, nullptr, 0, -1},  // 842
    {"WM_RepeatON", 1, nullptr, 0, -1},  // 843
    {"HeaderFooterOFF", 0, nullptr, 0, -1},  // 844
    {"HeaderFooterON", 1, nullptr, 0, -1},  // 845
    {"CopyProtectOFF", 0, nullptr, 0, -1},  // 846
    {"CopyProtectON", 1, nullptr, 0, -1},  // 847
    {"HF_NumberingOFF", 0, nullptr, 0, -1},  // 848
    {"HF_NumberingON", 1, nullptr, 0, -1},  // 849
    {"HF_DateTimeOFF", 0, nullptr, 0, -1},  // 850
    {"HF_DateTimeON", 1, nullptr, 0, -1},  // 851
    {"HF_PageNumberOFF", 0, nullptr, 0, -1},  // 852
    {"HF_PageNumberON", 1, nullptr, 0, -1},  // 853
    {"HFE_PrintHeaderOFF", 0, nullptr, 0, -1},  // 854
    {"HFE_PrintHeaderON", 1, nullptr, 0, -1},  // 855
    {"HFE_PrintFooterOFF", 0, nullptr, 0, -1},  // 856
    {"HFE_PrintFooterON", 1, nullptr, 0, -1},  // 857
    {"CP_StampTextOFF", 0, nullptr, 0, -1},  // 858
    {"CP_StampTextON", 1, nullptr, 0, -1},  // 859
    {"CP_DateTimeOFF", 0, nullptr, 0, -1},  // 860
    {"CP_DateTimeON", 1, nullptr, 0, -1},  // 861
    {"CP_SerialNumberOFF", 0, nullptr, 0, -1},  // 862
    {"CP_SerialNumberON", 1, nullptr, 0, -1},  // 863
    {"DPE_DateTimeOFF", 0, nullptr, 0, -1},  // 864
    {"DPE_DateTimeON", 1, nullptr, 0, -1},  // 865
    {"DPE_PageNumberOFF", 0, nullptr, 0, -1},  // 866
    {"DPE_PageNumberON", 1, nullptr, 0, -1},  // 867
    {"Dnst_TonerSaveOFF", 0, nullptr, 0, -1},  // 868
    {"Dnst_TonerSaveON", 1, nullptr, 0, -1},  // 869
    {"Dnst_DraftPrintOFF", 0, nullptr, 0, -1},  // 870
    {"Dnst_DraftPrintON", 1, nullptr, 0, -1},  // 871
    {"SmoothingOFF", 0, nullptr, 0, -1},  // 872
    {"SmoothingON", 1, nullptr, 0, -1},  // 873
    {"ThinningOFF", 0, nullptr, 0, -1},  // 874
    {"ThinningON", 1, nullptr, 0, -1},  // 875
    {"PrintWithBlackOFF", 0, nullptr, 0, -1},  // 876
    {"PrintWithBlackON", 1, nullptr, 0, -1},  // 877
    {"AutoTrappingOFF", 0, nullptr, 0, -1},  // 878
    {"AutoTrappingON", 1, nullptr, 0, -1},  // 879
    {"BlackOverPrintOFF", 0, nullptr, 0, -1},  // 880
    {"BlackOverPrintON", 1, nullptr, 0, -1},  // 881
    {"Point4CharacterOFF", 0, nullptr, 0, -1},  // 882
    {"Point4CharacterON", 1, nullptr, 0, -1},  // 883
    {"DiminBarcodeOFF", 0, nullptr, 0, -1},  // 884
    {"DiminBarcodeON", 1, nullptr, 0, -1},  // 885
    {"ColorSeparationOFF", 0, nullptr, 0, -1},  // 886
    {"ColorSeparationON", 1, nullptr, 0, -1},  // 887
    {"GlossyModeOFF", 0, nullptr, 0, -1},  // 888
    {"GlossyModeON", 1, nullptr, 0, -1},  // 889
    {"ColAdj_MatchPaperColorOFF", 0, nullptr, 0, -1},  // 890
    {"ColAdj_MatchPaperColorON", 1, nullptr, 0, -1},  // 891
    {"Img_EdgeOFF", 0, nullptr, 0, -1},  // 892
    {"Img_EdgeON", 1, nullptr, 0, -1},  // 893
    {"Text_EdgeOFF", 0, nullptr, 0, -1},  // 894
    {"Text_EdgeON", 1, nullptr, 0, -1},  // 895
    {"Graph_EdgeOFF", 0, nullptr, 0, -1},  // 896
    {"Graph_EdgeON", 1, nullptr, 0, -1},  // 897
    {"MatchPaperColorOFF", 0, nullptr, 0, -1},  // 898
    {"MatchPaperColorON", 1, nullptr, 0, -1},  // 899
    {"UserAuthenticationOFF", 0, nullptr, 0, -1},  // 900
    {"UserAuthenticationON", 1, nullptr, 0, -1},  // 901
    {"AccountTrackOFF", 0, nullptr, 0, -1},  // 902
    {"AccountTrackON", 1, nullptr, 0, -1},  // 903
    {"DepartmentPasswordOFF", 0, nullptr, 0, -1},  // 904
    {"DepartmentPasswordON", 1, nullptr, 0, -1},  // 905
    {"ExcelJobCtrlOFF", 0, nullptr, 0, -1},  // 906
    {"ExcelJobCtrlON", 1, nullptr, 0, -1},  // 907
    {"OverlayForPPTOFF", 0, nullptr, 0, -1},  // 908
    {"OverlayForPPTON", 1, nullptr, 0, -1},  // 909
    {"RectOutModeOFF", 0, nullptr, 0, -1},  // 910
    {"RectOutModeON", 1, nullptr, 0, -1},  // 911
    {"EmailNotifyOFF", 0, nullptr, 0, -1},  // 912
    {"EmailNotifyON", 1, nullptr, 0, -1},  // 913
    {"ChkBlankRatioOFF", 0, nullptr, 0, -1},  // 914
    {"ChkBlankRatioON", 1, nullptr, 0, -1},  // 915
    {"EncryptionKeyOFF", 0, nullptr, 0, -1},  // 916
    {"EncryptionKeyON", 1, nullptr, 0, -1},  // 917
    {"EMFSpoolOFF", 0, nullptr, 0, -1},  // 918
    {"EMFSpoolON", 1, nullptr, 0, -1},  // 919
    {"VerifyAuthenticOFF", 0, nullptr, 0, -1},  // 920
    {"VerifyAuthenticON", 1, nullptr, 0, -1},  // 921
    {"PopupAuthenticDlgOFF", 0, nullptr, 0, -1},  // 922
    {"PopupAuthenticDlgON", 1, nullptr, 0, -1},  // 923
    {"ConfirmFaxNumberOFF", 0, nullptr, 0, -1},  // 924
    {"ConfirmFaxNumberON", 1, nullptr, 0, -1},  // 925
    {"OutputMethodPreserveOFF", 0, nullptr, 0, -1},  // 926
    {"OutputMethodPreserveON", 1, nullptr, 0, -1},  // 927
    {"ChkWakeUpDeviceOFF", 0, nullptr, 0, -1},  // 928
    {"ChkWakeUpDeviceON", 1, nullptr, 0, -1},  // 929
    {"DateTimeOFF", 0, nullptr, 0, -1},  // 930
    {"DateTimeON", 1, nullptr, 0, -1},  // 931
    {"PageNumberOFF", 0, nullptr, 0, -1},  // 932
    {"PageNumberON", 1, nullptr, 0, -1},  // 933
    {"NumberingOFF", 0, nullptr, 0, -1},  // 934
    {"NumberingON", 1, nullptr, 0, -1},  // 935
    {"CSE_StringOFF", 0, nullptr, 0, -1},  // 936
    {"CSE_StringON", 1, nullptr, 0, -1},  // 937
    {"DevOvlSurfacePrint_OFF", 0, nullptr, 0, -1},  // 938
    {"DevOvlSurfacePrint_ON", 1, nullptr, 0, -1},  // 939
    {"DevOvlBackPrint_OFF", 0, nullptr, 0, -1},  // 940
    {"DevOvlBackPrint_ON", 1, nullptr, 0, -1},  // 941
    {"RoundOffColorValue_OFF", 0, nullptr, 0, -1},  // 942
    {"RoundOffColorValue_ON", 1, nullptr, 0, -1},  // 943
    {"AuthUseEngine_OFF", 0, nullptr, 0, -1},  // 944
    {"AuthUseEngine_ON", 1, nullptr, 0, -1},  // 945
    {"UserAuthentic_NoPassWord_OFF", 0, nullptr, 0, -1},  // 946
    {"UserAuthentic_NoPassWord_ON", 1, nullptr, 0, -1},  // 947
};
const size_t kOptionCount = 948;

// The per-object keywords (text, image, graphics) that a 242-byte option implies.
const ImpliedDef kImplied[] = {
    {"Text_DeviceRGB", "Img_DeviceRGB", "Graph_DeviceRGB"},
    {"Text_sRGB", "Img_sRGB", "Graph_sRGB"},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"Text_DestAuto", "Img_DestAuto", "Graph_DestAuto"},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
    {"", "", ""},
};
const size_t kImpliedCount = 45;

// name, record size (0: no built-in list), first option, option count
const FeatureDef kFeatures[] = {
    {"PaperSize", 0, 0, 0},
    {"OutPaperSize", 0, 0, 0},
    {"MediaType", 0, 0, 0},
    {"InTray", 0, 0, 0},
    {"Resolution", 0, 0, 0},
    {"DeviceOption", 0, 0, 0},
    {"Orientation", 48, 0, 2},
    {"Zoom", 48, 2, 2},
    {"JobName", 48, 4, 2},
    {"ServerSetting", 146, 6, 21},
    {"Nup_op", 146, 27, 8},
    {"DoubleSides", 54, 35, 4},
    {"BindingEdge", 144, 39, 14},
    {"NupStyle", 144, 53, 8},
    {"BorderLine_op", 144, 61, 2},
    {"BindShift_Mode", 48, 63, 2},
    {"BindShift_Unit", 48, 65, 2},
    {"ImgShiftMFP_Setup", 48, 67, 2},
    {"ImgShiftMFP_FrontH_op", 48, 69, 2},
    {"ImgShiftMFP_FrontV_op", 48, 71, 2},
    {"ImgShiftMFP_BackH_op", 48, 73, 2},
    {"ImgShiftMFP_BackV_op", 48, 75, 2},
    {"ImgShiftMFP_Unit", 48, 77, 2},
    {"PrintPosition", 48, 79, 3},
    {"PBCoverMode", 144, 82, 4},
    {"PBCoverTray", 144, 86, 8},
    {"PerfectBinding_Unit", 48, 94, 2},
    {"TABImageShift_Unit", 48, 96, 2},
    {"FrontCover_op", 144, 98, 3},
    {"BackCover_op", 144, 101, 3},
    {"SeparatePage_op", 144, 104, 3},
    {"CC_CopyOrder", 48, 107, 2},
    {"PerPageSetting", 48, 109, 2},
    {"PerPageListTabPaper", 144, 111, 2},
    {"PerPageListStapleEnd", 144, 113, 2},
    {"PerPageListHolePunch", 144, 115, 3},
    {"Overlay_op", 48, 118, 1},
    {"Watermark_op", 48, 119, 1},
    {"Ovl_Pages", 144, 120, 5},
    {"Ovl_Placement", 144, 125, 2},
    {"Overlay_Switch", 144, 127, 5},
    {"DevOvlSurfaceSelName", 144, 132, 100},
    {"DevOvlBackSelName", 144, 232, 100},
    {"DevOvlSurfaceSelColor", 144, 332, 9},
    {"DevOvlBackSelColor", 144, 341, 9},
    {"DevOvlSurfaceSelPlacement", 144, 350, 3},
    {"DevOvlBackSelPlacement", 144, 353, 3},
    {"DevOvlPages", 144, 356, 2},
    {"WM_Sharing", 48, 358, 2},
    {"WM_Style", 144, 360, 4},
    {"WM_Color", 144, 364, 8},
    {"WM_Box", 144, 372, 3},
    {"NME_Type", 144, 375, 2},
    {"NME_PagetoPrint", 144, 377, 2},
    {"NME_Color", 144, 379, 3},
    {"HF_Type", 144, 382, 2},
    {"HF_PagetoPrint", 144, 384, 2},
    {"HF_Color", 144, 386, 3},
    {"HF_DatePagetoPrint", 144, 389, 2},
    {"HF_PrintPage", 144, 391, 3},
    {"HFE_SelectDevSetting", 146, 394, 20},
    {"HFE_PagetoPrint", 144, 414, 2},
    {"HFE_TextColor", 144, 416, 7},
    {"HFE_HeaderPosition", 144, 423, 3},
    {"HFE_FooterPosition", 144, 426, 3},
    {"CP_StampType", 48, 429, 2},
    {"CP_FixedStamp_op", 144, 431, 8},
    {"CP_RegistStamp_op", 144, 439, 8},
    {"CP_Date", 144, 447, 5},
    {"CP_Time", 144, 452, 3},
    {"CP_Color", 144, 455, 3},
    {"CP_Pattern", 144, 458, 2},
    {"CP_PatternSize", 144, 460, 3},
    {"CP_PatternOverWrite", 144, 463, 2},
    {"CP_Angle", 144, 465, 3},
    {"CPE_DistributionNumber", 48, 468, 2},
    {"DPE_DateTimePagetoPrint", 144, 470, 2},
    {"DPE_PN_PageNumFormat", 144, 472, 5},
    {"SelectColor_RB", 48, 477, 2},
    {"ColorSetting", 144, 479, 9},
    {"PrintWithBlack_op", 144, 488, 3},
    {"BlackOverPrint_op", 144, 491, 2},
    {"SelectColor", 0, 0, 0},
    {"TwoColors", 0, 0, 0},
    {"Pattern", 144, 493, 2},
    {"ImageCompression", 144, 495, 3},
    {"ColAdj_Object", 48, 498, 2},
    {"ColAdj_EachObject_op", 144, 500, 3},
    {"ColAdj_ColorMatchType", 144, 503, 4},
    {"ColAdj_PureBlack", 144, 507, 3},
    {"ColAdj_Screen", 144, 510, 4},
    {"ColAdj_Screen2", 144, 514, 4},
    {"ColAdj_Smoothing", 144, 518, 5},
    {"ColAdj_MatchBalance", 144, 523, 3},
    {"ColAdj_ScreenSmooth", 144, 526, 3},
    {"ColAdj_RGBProf", 242, 529, 16},
    {"ColAdj_DestinationProf", 242, 545, 11},
    {"ColAdj_SimulationProf", 242, 556, 18},
    {"ColAdj_Simu_CMYKGray", 144, 574, 3},
    {"FontDownload", 144, 577, 4},
    {"FontSubstitute", 48, 581, 2},
    {"ICM_Method", 48, 583, 3},
    {"ICM_Intent", 48, 586, 4},
    {"Img_RGBProf", 144, 590, 2},
    {"Text_RGBProf", 144, 592, 2},
    {"Graph_RGBProf", 144, 594, 2},
    {"RGBProf", 144, 596, 2},
    {"Img_RGBColorMatch", 144, 598, 4},
    {"Text_RGBColorMatch", 144, 602, 4},
    {"Graph_RGBColorMatch", 144, 606, 4},
    {"Img_RGBGray", 144, 610, 3},
    {"Text_RGBGray", 144, 613, 3},
    {"Graph_RGBGray", 144, 616, 3},
    {"Img_Halftone", 48, 619, 3},
    {"Text_Halftone", 144, 622, 3},
    {"Graph_Halftone", 144, 625, 5},
    {"SimulationProf", 144, 630, 7},
    {"DestinationProf", 144, 637, 1},
    {"Simu_CMYKGray", 144, 638, 3},
    {"Img_Destination", 144, 641, 1},
    {"Text_Destination", 144, 642, 1},
    {"Graph_Destination", 144, 643, 1},
    {"Graphics", 48, 644, 2},
    {"UserAuthentication_RB", 48, 646, 2},
    {"ChkBlankRatio_op", 144, 648, 2},
    {"DisplayConstMsg", 48, 650, 2},
    {"UseServerForm", 48, 652, 2},
    {"Paper_Unit", 48, 654, 2},
    {"CPE_CompositeMethod", 48, 656, 2},
    {"CPE_CP_Color", 144, 658, 3},
    {"CPE_SS_Color", 144, 661, 3},
    {"CSE_CP_Color", 144, 664, 3},
    {"DPE_DateTimeColor", 144, 667, 7},
    {"DPE_PageNumColor", 144, 674, 7},
    {"FcsBStyle", 144, 681, 4},
    {"FcsBSelectForm", 144, 685, 9},
    {"FcsRStandard", 144, 694, 4},
    {"FtpRecipentList", 144, 698, 7},
    {"FtpECM", 144, 705, 2},
    {"FtpIntTransMode", 144, 707, 2},
    {"FtpV34", 144, 709, 2},
    {"CopyProtect_op", 144, 711, 4},
    {"CSE_String_op", 146, 715, 16},
    {"CSE_DistributionNumber", 48, 731, 2},
    {"CSE_CP_Placement", 144, 733, 2},
    {"CSE_CP_Effect", 144, 735, 2},
    {"CSE_TextAngle", 144, 737, 3},
    // Two-state rows: the name with OFF (0) and ON (1), or with _OFF and _ON.
    {"JobOffset", 48, 740, 2},
    {"PaperOption1", 48, 742, 2},
    {"PaperOption2", 48, 744, 2},
    {"FullBleed", 48, 746, 2},
    {"HidePassword", 48, 748, 2},
    {"Nup", 48, 750, 2},
    {"Combination", 48, 752, 2},
    {"AdhesiveBind", 48, 754, 2},
    {"BindingShift", 48, 756, 2},
    {"ImageShift", 48, 758, 2},
    {"Rotate180", 48, 760, 2},
    {"SaveBlankPaper", 48, 762, 2},
    {"Chapter", 48, 764, 2},
    {"BorderLine", 48, 766, 2},
    {"PosterMarginLine", 48, 768, 2},
    {"BookletBorder", 48, 770, 2},
    {"BindShift_Same", 48, 772, 2},
    {"ImgShiftMFP_Auto", 48, 774, 2},
    {"Staple", 48, 776, 2},
    {"HolePunch", 48, 778, 2},
    {"CenterStaple", 48, 780, 2},
    {"CenterErase", 48, 782, 2},
    {"Folding", 48, 784, 2},
    {"Trim", 48, 786, 2},
    {"DivideOutput", 48, 788, 2},
    {"PileMode", 48, 790, 2},
    {"Tandem", 48, 792, 2},
    {"PerfectBinding", 48, 794, 2},
    {"PBCoverDuplex", 48, 796, 2},
    {"PBCoverTriming", 48, 798, 2},
    {"FrontCover", 48, 800, 2},
    {"BackCover", 48, 802, 2},
    {"SeparatePage", 48, 804, 2},
    {"OHP_Interleave", 48, 806, 2},
    {"CarbonCopy", 48, 808, 2},
    {"CC_CopyTray1", 48, 810, 2},
    {"CC_CopyTray2", 48, 812, 2},
    {"CC_CopyTray3", 48, 814, 2},
    {"CC_CopyTray4", 48, 816, 2},
    {"CC_CopyTray5", 48, 818, 2},
    {"CC_CopyTrayLCT", 48, 820, 2},
    {"CC_CopyTrayManual", 48, 822, 2},
    {"PIFrontCover", 48, 824, 2},
    {"PIBackCover", 48, 826, 2},
    {"Overlay", 48, 828, 2},
    {"Ovl_Create", 48, 830, 2},
    {"DevOvlSameSurface", 48, 832, 2},
    {"Ovl_OtherPages", 48, 834, 2},
    {"Watermark", 48, 836, 2},
    {"WM_Transparent", 48, 838, 2},
    {"WM_FirstPage", 48, 840, 2},
    {"WM_Repeat", 48, 842, 2},
    {"HeaderFooter", 48, 844, 2},
    {"CopyProtect", 48, 846, 2},
    {"HF_Numbering", 48, 848, 2},
    {"HF_DateTime", 48, 850, 2},
    {"HF_PageNumber", 48, 852, 2},
    {"HFE_PrintHeader", 48, 854, 2},
    {"HFE_PrintFooter", 48, 856, 2},
    {"CP_StampText", 48, 858, 2},
    {"CP_DateTime", 48, 860, 2},
    {"CP_SerialNumber", 48, 862, 2},
    {"DPE_DateTime", 48, 864, 2},
    {"DPE_PageNumber", 48, 866, 2},
    {"Dnst_TonerSave", 48, 868, 2},
    {"Dnst_DraftPrint", 48, 870, 2},
    {"Smoothing", 48, 872, 2},
    {"Thinning", 48, 874, 2},
    {"PrintWithBlack", 48, 876, 2},
    {"AutoTrapping", 48, 878, 2},
    {"BlackOverPrint", 48, 880, 2},
    {"Point4Character", 48, 882, 2},
    {"DiminBarcode", 48, 884, 2},
    {"ColorSeparation", 48, 886, 2},
    {"GlossyMode", 48, 888, 2},
    {"ColAdj_MatchPaperColor", 48, 890, 2},
    {"Img_Edge", 48, 892, 2},
    {"Text_Edge", 48, 894, 2},
    {"Graph_Edge", 48, 896, 2},
    {"MatchPaperColor", 48, 898, 2},
    {"UserAuthentication", 48, 900, 2},
    {"AccountTrack", 48, 902, 2},
    {"DepartmentPassword", 48, 904, 2},
    {"ExcelJobCtrl", 48, 906, 2},
    {"OverlayForPPT", 48, 908, 2},
    {"RectOutMode", 48, 910, 2},
    {"EmailNotify", 48, 912, 2},
    {"ChkBlankRatio", 48, 914, 2},
    {"EncryptionKey", 48, 916, 2},
    {"EMFSpool", 48, 918, 2},
    {"VerifyAuthentic", 48, 920, 2},
    {"PopupAuthenticDlg", 48, 922, 2},
    {"ConfirmFaxNumber", 48, 924, 2},
    {"OutputMethodPreserve", 48, 926, 2},
    {"ChkWakeUpDevice", 48, 928, 2},
    {"DateTime", 48, 930, 2},
    {"PageNumber", 48, 932, 2},
    {"Numbering", 48, 934, 2},
    {"CSE_String", 48, 936, 2},
    {"DevOvlSurfacePrint", 48, 938, 2},
    {"DevOvlBackPrint", 48, 940, 2},
    {"RoundOffColorValue", 48, 942, 2},
    {"AuthUseEngine", 48, 944, 2},
    {"UserAuthentic_NoPassWord", 48, 946, 2},
};
const size_t kFeatureCount = 251;
const size_t kTwoStateFirst = 147;

}  // namespace nvx::features::defs
