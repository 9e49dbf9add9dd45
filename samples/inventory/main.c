/* İŒÉŠÇ—ƒTƒ“ƒvƒ‹: İŒÉ‚ğ“o˜^‚µ‚Ä‡Œv‹àŠz‚ğ•\¦‚·‚é */
#include <stdio.h>
#include "inventory.h"
#include "util.h"

static int print_item(const Item *item, void *context)
{
    (void)context;
    printf("%-12s %5d %8ld\n", item->name, item->count, item->price);
    return 0;
}

static void print_report(const Inventory *inv)
{
    ItemVisitor visitor = print_item;

    inventory_each(inv, visitor, NULL);
    printf("‡Œv %ld ‰~\n", inventory_total(inv));
}

int main(void)
{
    Inventory inv;

    inventory_init(&inv);
    inventory_add(&inv, "‚è‚ñ‚²", 12, 120, CATEGORY_FOOD);
    inventory_add(&inv, "‹à‚Ã‚¿", 2, 1980, CATEGORY_TOOL);
    inventory_add(&inv, "«‘", 1, power_of(10, 3), CATEGORY_BOOK);
    print_report(&inv);
    return 0;
}
