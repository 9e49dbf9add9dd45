/* 在庫表の操作 */
#include <string.h>
#include "inventory.h"
#include "util.h"

void inventory_init(Inventory *inv)
{
    inv->used = 0;
}

int inventory_add(Inventory *inv, const char *name, int count, long price, Category category)
{
    Item *item;

    if (inv->used >= MAX_ITEMS) {
        log_message("在庫表が一杯です");
        return -1;
    }
    item = &inv->items[inv->used];
    copy_text(item->name, name, NAME_LEN);
    item->count = count;
    item->price = price;
    item->category = category;
    return inv->used++;
}

/* 各品目に visit を適用する。visit が 0 以外を返したら止める */
int inventory_each(const Inventory *inv, ItemVisitor visit, void *context)
{
    int i;

    for (i = 0; i < inv->used; i++) {
        if (visit(&inv->items[i], context) != 0) {
            return i;
        }
    }
    return -1;
}

static int add_value(const Item *item, void *context)
{
    long *sum = (long *)context;

    *sum += item->price * item->count;
    return 0;
}

long inventory_total(const Inventory *inv)
{
    long sum = 0;

    inventory_each(inv, add_value, &sum);
    return sum;
}
