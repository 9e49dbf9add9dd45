/* 在庫管理: 品目と在庫表の定義 */
#ifndef INVENTORY_H
#define INVENTORY_H

#define MAX_ITEMS 64
#define NAME_LEN  32

typedef enum {
    CATEGORY_FOOD,
    CATEGORY_TOOL,
    CATEGORY_BOOK = 10,
    CATEGORY_OTHER
} Category;

typedef struct {
    char     name[NAME_LEN];   /* 品名 */
    int      count;            /* 在庫数 */
    long     price;            /* 単価(円) */
    Category category;
} Item;

typedef struct Inventory {
    Item items[MAX_ITEMS];
    int  used;
} Inventory;

typedef int (*ItemVisitor)(const Item *item, void *context);

void inventory_init(Inventory *inv);
int  inventory_add(Inventory *inv, const char *name, int count, long price, Category category);
int  inventory_each(const Inventory *inv, ItemVisitor visit, void *context);
long inventory_total(const Inventory *inv);

#endif
