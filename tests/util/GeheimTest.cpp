#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "util/Geheim.h"

namespace {

// Every form of a connection target the PostgreSQL client takes a password
// in; what holds none is shown as it is.
TEST(Geheim, Net8AnzeigeHidesEveryPasswordForm) {
    const std::pair<const char*, const char*> faelle[] = {
        {"postgresql://korvi:Geheim@db:5432/bde", "postgresql://korvi:***@db:5432/bde"},
        {"postgres://korvi:Ge@Geheim@db/bde?sslmode=require", "postgres://korvi:***@db/bde?sslmode=require"},
        {"postgresql://korvi@db/bde?password=Geheim&sslmode=require",
         "postgresql://korvi@db/bde?password=***&sslmode=require"},
        {"postgresql:///bde?host=/tmp&password=Geheim", "postgresql:///bde?host=/tmp&password=***"},
        {"postgresql://db/bde?sslpassword=Geheim", "postgresql://db/bde?sslpassword=***"},
        {"host=db dbname=bde password=Geheim user=korvi", "host=db dbname=bde password=*** user=korvi"},
        {"host=db password = 'Ge heim\\' Geheim' dbname=bde", "host=db password = *** dbname=bde"},
        {"password=Geheim\\ Geheim", "password=***"},
        {"postgresql://korvi@db/bde", "postgresql://korvi@db/bde"},
        {"bde_service", "bde_service"},
        {"sqlite:/var/lib/bde=x/password=y.db", "sqlite:/var/lib/bde=x/password=y.db"},
    };
    for (const auto& [net8, gezeigt] : faelle) EXPECT_EQ(Geheim_Net8Anzeige(net8), gezeigt) << net8;
}

}  // namespace
